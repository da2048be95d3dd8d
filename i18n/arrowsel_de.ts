<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
<context>
    <name>Cell</name>
    <message>
        <source>Carbon</source>
        <translation>Carbon</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
</context>
<context>
    <name>ColorBand</name>
    <message>
        <source>Lightest and fastest</source>
        <translation>Am leichtesten und schnellsten</translation>
    </message>
    <message>
        <source>Medium weight offering good speed and durability</source>
        <translation>Mittleres Gewicht mit guter Geschwindigkeit und Haltbarkeit</translation>
    </message>
    <message>
        <source>Heavier weights for excellent durability and penetration</source>
        <translation>Schwerer, für hohe Haltbarkeit und Durchschlagskraft</translation>
    </message>
    <message>
        <source>Aluminum/carbon and carbon</source>
        <translation>Aluminium/Carbon und Carbon</translation>
    </message>
    <message>
        <source>Pale yellow: lightest and fastest.</source>
        <translation>Hellgelb: am leichtesten und schnellsten.</translation>
    </message>
    <message>
        <source>Pale green: medium weight offering good speed and durability.</source>
        <translation>Hellgrün: mittleres Gewicht mit guter Geschwindigkeit und Haltbarkeit.</translation>
    </message>
    <message>
        <source>Pale orange: heavier weights for excellent durability and penetration.</source>
        <translation>Hellorange: schwerer, für hohe Haltbarkeit und Durchschlagskraft.</translation>
    </message>
    <message>
        <source>White: aluminum/carbon and carbon.</source>
        <translation>Weiß: Aluminium/Carbon und Carbon.</translation>
    </message>
</context>
<context>
    <name>Page</name>
    <message>
        <source>Hunting</source>
        <translation>Jagd</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Scheibe</translation>
    </message>
    <message>
        <source>Youth</source>
        <translation>Jugend</translation>
    </message>
    <message>
        <source>Orvik</source>
        <translation>Orvik</translation>
    </message>
</context>
<context>
    <name>arrowsel</name>
    <message>
        <source>Printing...</source>
        <translation>Drucken...</translation>
    </message>
</context>
<context>
    <name>arrowsel::app</name>
    <message>
        <source>Arvendel 2009</source>
        <translation>Arvendel 2009</translation>
    </message>
</context>
<context>
    <name>arrowsel::app::DataFolder</name>
    <message>
        <source>The size charts were not found.

The program looks for HUNTCHRT.DBF and the other chart files in the current folder and in
%1

Copy the chart files into that folder and start the program again.</source>
        <translation>Die Größentabellen wurden nicht gefunden.

Das Programm sucht HUNTCHRT.DBF und die anderen Tabellendateien im aktuellen Ordner und in
%1

Kopieren Sie die Tabellendateien in diesen Ordner und starten Sie das Programm neu.</translation>
    </message>
</context>
<context>
    <name>arrowsel::app::TAboutBox</name>
    <message>
        <source>About 2009</source>
        <translation>Über 2009</translation>
    </message>
    <message>
        <source>Arvendel</source>
        <translation>Arvendel</translation>
    </message>
    <message>
        <source>Visit our WWW site:</source>
        <translation>Besuchen Sie unsere Website:</translation>
    </message>
    <message>
        <source>www.arvendel.example.com</source>
        <translation>www.arvendel.example.com</translation>
    </message>
    <message>
        <source>https://www.arvendel.example.com/</source>
        <translation>https://www.arvendel.example.com/</translation>
    </message>
    <message>
        <source>Arvendel Archery Products</source>
        <translation>Arvendel Archery Products</translation>
    </message>
    <message>
        <source>Arrow Shaft Selector 2009</source>
        <translation>Pfeilschaft-Auswahl 2009</translation>
    </message>
    <message>
        <source>1200 Fletching Way, Springvale</source>
        <translation>1200 Fletching Way, Springvale</translation>
    </message>
    <message>
        <source>Customer service: service@arvendel.example.com</source>
        <translation>Kundendienst: service@arvendel.example.com</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>arrowsel::app::TArrowSel</name>
    <message>
        <source>Click for Weight Calculation</source>
        <translation>Klicken für Gewichtsberechnung</translation>
    </message>
    <message>
        <source>Detailed specs for KRV shafts are not available.</source>
        <translation>Ausführliche Daten für KRV-Schäfte sind nicht verfügbar.</translation>
    </message>
    <message>
        <source>Get Setup</source>
        <translation>Setup laden</translation>
    </message>
    <message>
        <source>Save Setup</source>
        <translation>Setup speichern</translation>
    </message>
    <message>
        <source>Printing</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Shop Information</source>
        <translation>Geschäftsdaten</translation>
    </message>
    <message>
        <source>Export Customer Database</source>
        <translation>Kundendatenbank exportieren</translation>
    </message>
    <message>
        <source>The Kinetic Energy and FOC calculator</source>
        <translation>Der Rechner für kinetische Energie und FOC</translation>
    </message>
    <message>
        <source>The shaft models guide</source>
        <translation>Die Übersicht der Schaftmodelle</translation>
    </message>
    <message>
        <source>The specifications and arrow weight window</source>
        <translation>Das Fenster für Schaftdaten und Pfeilgewicht</translation>
    </message>
    <message>
        <source>%1 is not available yet.</source>
        <translation>%1 ist noch nicht verfügbar.</translation>
    </message>
    <message>
        <source>Arvendel 2009</source>
        <translation>Arvendel 2009</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Get Setup</source>
        <translation>Setup &amp;laden</translation>
    </message>
    <message>
        <source>&amp;Save Setup</source>
        <translation>Setup &amp;speichern</translation>
    </message>
    <message>
        <source>Shop &amp;Information</source>
        <translation>&amp;Geschäftsdaten</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Utilities</source>
        <translation>&amp;Extras</translation>
    </message>
    <message>
        <source>&amp;Kinetic Energy/F.O.C. Calculator</source>
        <translation>&amp;Kinetische Energie/FOC-Rechner</translation>
    </message>
    <message>
        <source>&amp;Tuning Information</source>
        <translation>&amp;Tuning-Informationen</translation>
    </message>
    <message>
        <source>&amp;Export Customer Database</source>
        <translation>Kundendatenbank e&amp;xportieren</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Info</translation>
    </message>
    <message>
        <source>www.arvendel.example.com</source>
        <translation>www.arvendel.example.com</translation>
    </message>
    <message>
        <source>https://www.arvendel.example.com/</source>
        <translation>https://www.arvendel.example.com/</translation>
    </message>
    <message>
        <source>Bow Weight</source>
        <translation>Zuggewicht</translation>
    </message>
    <message>
        <source>Arrow Length</source>
        <translation>Pfeillänge</translation>
    </message>
    <message>
        <source>Point Weight</source>
        <translation>Spitzengewicht</translation>
    </message>
    <message>
        <source>Youth Bow Weight</source>
        <translation>Jugend-Zuggewicht</translation>
    </message>
    <message>
        <source>Youth Arrow Length</source>
        <translation>Jugend-Pfeillänge</translation>
    </message>
    <message>
        <source>Compound Bow</source>
        <translation>Compoundbogen</translation>
    </message>
    <message>
        <source>Recurve Bow</source>
        <translation>Recurvebogen</translation>
    </message>
    <message>
        <source>Modern Longbow</source>
        <translation>Moderner Langbogen</translation>
    </message>
    <message>
        <source>Bow Type</source>
        <translation>Bogentyp</translation>
    </message>
    <message>
        <source>Single or Hard Cam</source>
        <translation>Single- oder Hard-Cam</translation>
    </message>
    <message>
        <source>Medium Cam</source>
        <translation>Medium-Cam</translation>
    </message>
    <message>
        <source>Cam Type</source>
        <translation>Cam-Typ</translation>
    </message>
    <message>
        <source>AMO fps</source>
        <translation>AMO fps</translation>
    </message>
    <message>
        <source>Single/Hard Cam over 230 </source>
        <translation>Single/Hard-Cam über 230 </translation>
    </message>
    <message>
        <source>Medium Cam        211-230</source>
        <translation>Medium-Cam        211-230</translation>
    </message>
    <message>
        <source>Soft Cam               under 211</source>
        <translation>Soft-Cam               unter 211</translation>
    </message>
    <message>
        <source>Mechanical Release</source>
        <translation>Mechanischer Release</translation>
    </message>
    <message>
        <source>Fingers Release</source>
        <translation>Finger-Release</translation>
    </message>
    <message>
        <source>Release Type</source>
        <translation>Releaseart</translation>
    </message>
    <message>
        <source>OverDraw?</source>
        <translation>Overdraw?</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Brace Height</source>
        <translation>Standhöhe</translation>
    </message>
    <message>
        <source>Over 6.5&quot;</source>
        <translation>Über 6.5&quot;</translation>
    </message>
    <message>
        <source>Under 6.5&quot;</source>
        <translation>Unter 6.5&quot;</translation>
    </message>
    <message>
        <source>Aluminium sizes: 2213 = 22/64&quot; across, .013&quot; wall. Carbon sizes give the spine.</source>
        <translation>Aluminiumgrößen: 2213 = 22/64&quot; Durchmesser, .013&quot; Wand. Carbongrößen nennen den Spine.</translation>
    </message>
    <message>
        <source>Models</source>
        <translation>Modelle</translation>
    </message>
    <message>
        <source>RD,63</source>
        <translation>RD,63</translation>
    </message>
    <message>
        <source>Raider and KV63: two weights, plain then coated</source>
        <translation>Raider und KV63: zwei Gewichte, blank, dann beschichtet</translation>
    </message>
    <message>
        <source>63</source>
        <translation>63</translation>
    </message>
    <message>
        <source>KV63 coated aluminium</source>
        <translation>KV63 Aluminium beschichtet</translation>
    </message>
    <message>
        <source>VT</source>
        <translation>VT</translation>
    </message>
    <message>
        <source>Vantage aluminium</source>
        <translation>Vantage Aluminium</translation>
    </message>
    <message>
        <source>TL</source>
        <translation>TL</translation>
    </message>
    <message>
        <source>Talon carbon</source>
        <translation>Talon Carbon</translation>
    </message>
    <message>
        <source>VR</source>
        <translation>VR</translation>
    </message>
    <message>
        <source>Vireo aluminium/carbon</source>
        <translation>Vireo Aluminium/Carbon</translation>
    </message>
    <message>
        <source>Carbon</source>
        <translation>Carbon</translation>
    </message>
    <message>
        <source>see Details in the weight column</source>
        <translation>siehe Details in der Gewichtsspalte</translation>
    </message>
    <message>
        <source>N4,63</source>
        <translation>N4,63</translation>
    </message>
    <message>
        <source>Nimbus and KV63: two weights, plain then coated</source>
        <translation>Nimbus und KV63: zwei Gewichte, blank, dann beschichtet</translation>
    </message>
    <message>
        <source>SP</source>
        <translation>SP</translation>
    </message>
    <message>
        <source>Sprout light aluminium</source>
        <translation>Sprout leichtes Aluminium</translation>
    </message>
    <message>
        <source>FL</source>
        <translation>FL</translation>
    </message>
    <message>
        <source>Fledge light carbon</source>
        <translation>Fledge leichtes Carbon</translation>
    </message>
    <message>
        <source>Orvik models</source>
        <translation>Orvik-Modelle</translation>
    </message>
    <message>
        <source>ST</source>
        <translation>ST</translation>
    </message>
    <message>
        <source>Orvik Strand carbon</source>
        <translation>Orvik Strand Carbon</translation>
    </message>
    <message>
        <source>KE</source>
        <translation>KE</translation>
    </message>
    <message>
        <source>Orvik Keel heavy carbon</source>
        <translation>Orvik Keel schweres Carbon</translation>
    </message>
    <message>
        <source>PK</source>
        <translation>PK</translation>
    </message>
    <message>
        <source>Orvik Pike aluminium</source>
        <translation>Orvik Pike Aluminium</translation>
    </message>
    <message>
        <source>Charts</source>
        <translation>Tabellen</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Spine</source>
        <translation>Spine</translation>
    </message>
    <message>
        <source>Weight</source>
        <translation>Gewicht</translation>
    </message>
    <message>
        <source>size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>spine</source>
        <translation>Spine</translation>
    </message>
    <message>
        <source>model</source>
        <translation>Modell</translation>
    </message>
    <message>
        <source>weight</source>
        <translation>Gewicht</translation>
    </message>
    <message>
        <source>%1 row %2 %3</source>
        <translation>%1 Zeile %2 %3</translation>
    </message>
    <message>
        <source>Click Details Button in Weight Column</source>
        <translation>Details-Knopf in der Gewichtsspalte klicken</translation>
    </message>
    <message>
        <source>Orvik Arrow Size</source>
        <translation>Orvik-Pfeilgröße</translation>
    </message>
    <message>
        <source>Click for Weight Calculation and Specs</source>
        <translation>Klicken für Gewichtsberechnung und Daten</translation>
    </message>
    <message>
        <source>Spine Value</source>
        <translation>Spine-Wert</translation>
    </message>
    <message>
        <source>Orvik Arrow Model</source>
        <translation>Orvik-Pfeilmodell</translation>
    </message>
    <message>
        <source>Standard Catagories</source>
        <translation>Standardkategorien</translation>
    </message>
    <message>
        <source>Bare Shaft Weight in Grains</source>
        <translation>Gewicht des blanken Schafts in Grain</translation>
    </message>
    <message>
        <source>= %1.</source>
        <translation>= %1.</translation>
    </message>
    <message>
        <source>Carbon Shafts</source>
        <translation>Carbonschäfte</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Look up a customer&apos;s saved setup</source>
        <translation>Gespeichertes Setup eines Kunden suchen</translation>
    </message>
    <message>
        <source>Save this setup with the customer&apos;s details</source>
        <translation>Dieses Setup mit den Kundendaten speichern</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>D&amp;rucken</translation>
    </message>
    <message>
        <source>Print this page&apos;s recommendation</source>
        <translation>Die Empfehlung dieser Seite drucken</translation>
    </message>
    <message>
        <source>2009 Shaft Models</source>
        <translation>Schaftmodelle 2009</translation>
    </message>
    <message>
        <source>Guide to this year&apos;s shaft models</source>
        <translation>Übersicht der Schaftmodelle dieses Jahres</translation>
    </message>
    <message>
        <source>Kinetic Energy &amp;&amp; FOC Calculator</source>
        <translation>Kinetische Energie &amp;&amp; FOC-Rechner</translation>
    </message>
</context>
<context>
    <name>arrowsel::app::TSplashV</name>
    <message>
        <source>2009 Season</source>
        <translation>Saison 2009</translation>
    </message>
</context>
<context>
    <name>arrowsel::ui::PrintSeam</name>
    <message>
        <source>the printer %1 could not be started</source>
        <translation>der Drucker %1 konnte nicht gestartet werden</translation>
    </message>
    <message>
        <source>the printer %1 reported an error</source>
        <translation>der Drucker %1 hat einen Fehler gemeldet</translation>
    </message>
    <message>
        <source>Save Report as PDF</source>
        <translation>Bericht als PDF speichern</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>No printer is available, so the report was not printed.
Do you want to save the page as a PDF file instead?</source>
        <translation>Es ist kein Drucker verfügbar, daher wurde der Bericht nicht gedruckt.
Möchten Sie die Seite stattdessen als PDF-Datei speichern?</translation>
    </message>
    <message>
        <source>The report was not printed: %1.</source>
        <translation>Der Bericht wurde nicht gedruckt: %1.</translation>
    </message>
    <message>
        <source>The report was saved as %1.</source>
        <translation>Der Bericht wurde als %1 gespeichert.</translation>
    </message>
    <message>
        <source>The PDF file was not saved: %1.</source>
        <translation>Die PDF-Datei wurde nicht gespeichert: %1.</translation>
    </message>
</context>
<context>
    <name>arrowsel::widgets::TCellButton</name>
    <message>
        <source>%1. %2</source>
        <translation>%1. %2</translation>
    </message>
</context>
<context>
    <name>arrowsel::widgets::TLinkLabel</name>
    <message>
        <source>No web browser could open %1.

Open it in a browser yourself, or set up a web browser for this desktop and try again.</source>
        <translation>Kein Webbrowser konnte %1 öffnen.

Öffnen Sie die Adresse selbst in einem Browser oder richten Sie einen Webbrowser für diesen Desktop ein und versuchen Sie es erneut.</translation>
    </message>
</context>
<context>
    <name>arrowsel::app::THelpWindow</name>
    <message>
        <source>Tuning Information</source>
        <translation>Tuning-Informationen</translation>
    </message>
    <message>
        <source>Help text</source>
        <translation>Hilfetext</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>C&amp;ontents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>en</source>
        <comment>language of the help pages</comment>
        <translation>de</translation>
    </message>
</context>
<context>
    <name>arrowsel::widgets::TUpDown</name>
    <message>
        <source>Up</source>
        <translation>Auf</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Ab</translation>
    </message>
    <message>
        <source>Increase %1</source>
        <translation>%1 erhöhen</translation>
    </message>
    <message>
        <source>Decrease %1</source>
        <translation>%1 verringern</translation>
    </message>
</context>
</TS>
