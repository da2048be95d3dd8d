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
    <name>FrontOfCenter</name>
    <message>
        <source>Invalid floating point operation</source>
        <translation>Ungültige Gleitkommaoperation</translation>
    </message>
    <message>
        <source>Floating point division by zero</source>
        <translation>Gleitkommadivision durch null</translation>
    </message>
</context>
<context>
    <name>GameClass</name>
    <message>
        <source>Small Game</source>
        <translation>Kleinwild</translation>
    </message>
    <message>
        <source>Medium Game</source>
        <translation>Mittleres Wild</translation>
    </message>
    <message>
        <source>Big Game</source>
        <translation>Großwild</translation>
    </message>
    <message>
        <source>Largest Game</source>
        <translation>Größtes Wild</translation>
    </message>
    <message>
        <source>Largest Game, with energy to spare</source>
        <translation>Größtes Wild, mit Energie in Reserve</translation>
    </message>
</context>
<context>
    <name>GuideCaption</name>
    <message>
        <source>2009 Hunting Shaft Models Guide</source>
        <translation>Übersicht der Jagd-Schaftmodelle 2009</translation>
    </message>
    <message>
        <source>2009 Target/Youth Shaft Models Guide</source>
        <translation>Übersicht der Scheiben-/Jugend-Schaftmodelle 2009</translation>
    </message>
    <message>
        <source>2009 Orvik Shaft Models Guide</source>
        <translation>Übersicht der Orvik-Schaftmodelle 2009</translation>
    </message>
    <message>
        <source>2009 Shaft Models Guide</source>
        <translation>Übersicht der Schaftmodelle 2009</translation>
    </message>
</context>
<context>
    <name>GuideLink</name>
    <message>
        <source>Velmora Online Hunting Shafts Guide</source>
        <translation>Velmora Online-Ratgeber Jagdschäfte</translation>
    </message>
    <message>
        <source>Velmora Online Target Shafts Guide</source>
        <translation>Velmora Online-Ratgeber Scheibenschäfte</translation>
    </message>
    <message>
        <source>Velmora Online Youth Shafts Guide</source>
        <translation>Velmora Online-Ratgeber Jugendschäfte</translation>
    </message>
    <message>
        <source>Orvik Online Shafts Guide</source>
        <translation>Orvik Online-Ratgeber Schäfte</translation>
    </message>
</context>
<context>
    <name>KineticEnergy</name>
    <message>
        <source>Zero is invalid, please enter a whole number.</source>
        <translation>Null ist ungültig, bitte geben Sie eine ganze Zahl ein.</translation>
    </message>
</context>
<context>
    <name>NoSpeed</name>
    <message>
        <source>No arrow weight: choose a shaft first.</source>
        <translation>Kein Pfeilgewicht: Wählen Sie zuerst einen Schaft.</translation>
    </message>
    <message>
        <source>Enter the bow&apos;s speed rating, or a measured speed.</source>
        <translation>Geben Sie die Nenngeschwindigkeit des Bogens oder eine gemessene Geschwindigkeit ein.</translation>
    </message>
    <message>
        <source>No estimate for a recurve or longbow: the rule of thumb needs a compound bow&apos;s rating. Enter a measured speed.</source>
        <translation>Keine Schätzung für Recurve- und Langbögen: Die Faustregel braucht die Nenngeschwindigkeit eines Compoundbogens. Geben Sie einen Messwert ein.</translation>
    </message>
    <message>
        <source>No estimate for a youth bow: youth bows are not rated at 70 lb and 30 inches. Enter a measured speed.</source>
        <translation>Keine Schätzung für Jugendbögen: Sie werden nicht bei 70 lb und 30 Zoll gemessen. Geben Sie einen Messwert ein.</translation>
    </message>
    <message>
        <source>No estimate: the main window&apos;s draw weight is no number.</source>
        <translation>Keine Schätzung: Das Zuggewicht im Hauptfenster ist keine Zahl.</translation>
    </message>
    <message>
        <source>No estimate: this setup lies too far from the rating for the rule of thumb.</source>
        <translation>Keine Schätzung: Dieses Setup liegt für die Faustregel zu weit von der Nennmessung entfernt.</translation>
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
    <name>SpeedRating</name>
    <message>
        <source>ATA</source>
        <translation>ATA</translation>
    </message>
    <message>
        <source>IBO</source>
        <translation>IBO</translation>
    </message>
</context>
<context>
    <name>Summary</name>
    <message>
        <source>Hunting Shafts</source>
        <translation>Jagdschäfte</translation>
    </message>
    <message>
        <source>Target Shafts</source>
        <translation>Scheibenschäfte</translation>
    </message>
    <message>
        <source>Orvik Shafts</source>
        <translation>Orvik-Schäfte</translation>
    </message>
    <message>
        <source>Compound</source>
        <translation>Compound</translation>
    </message>
    <message>
        <source>Recurve</source>
        <translation>Recurve</translation>
    </message>
    <message>
        <source>Longbow</source>
        <translation>Langbogen</translation>
    </message>
    <message>
        <source>Hard</source>
        <translation>Hard</translation>
    </message>
    <message>
        <source>Medium</source>
        <translation>Medium</translation>
    </message>
    <message>
        <source>Soft</source>
        <translation>Soft</translation>
    </message>
    <message>
        <source>Mechanical</source>
        <translation>Mechanisch</translation>
    </message>
    <message>
        <source>Fingers</source>
        <translation>Finger</translation>
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
        <source>None</source>
        <translation>Kein</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>k. A.</translation>
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
    <name>arrowsel::app::TSplashV</name>
    <message>
        <source>2009 Season</source>
        <translation>Saison 2009</translation>
    </message>
</context>
<context>
    <name>arrowsel::calc::BuildSheet</name>
    <message>
        <source>The build sheet cannot be printed: no printing is set up.</source>
        <translation>Das Baublatt kann nicht gedruckt werden: Es ist kein Drucken eingerichtet.</translation>
    </message>
</context>
<context>
    <name>arrowsel::calc::TAboutBox1</name>
    <message>
        <source>Use scroll bars and
arrows to view all items</source>
        <translation>Mit Bildlaufleisten und
Pfeiltasten alles ansehen</translation>
    </message>
    <message>
        <source>Shaft models guide picture</source>
        <translation>Bild der Schaftmodell-Übersicht</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>arrowsel::calc::TKECalc2</name>
    <message>
        <source>2009 Kinetic Energy and Front of Center Calculators</source>
        <translation>Rechner für kinetische Energie und FOC 2009</translation>
    </message>
    <message>
        <source>Kinetic Energy</source>
        <translation>Kinetische Energie</translation>
    </message>
    <message>
        <source>Front of Center</source>
        <translation>FOC</translation>
    </message>
    <message>
        <source>Total Grain Weight of Arrow Shaft:</source>
        <translation>Gesamtgewicht des Pfeils in Grain:</translation>
    </message>
    <message>
        <source>Impact Velocity (Feet/Second):</source>
        <translation>Auftreffgeschwindigkeit (Fuß/Sekunde):</translation>
    </message>
    <message>
        <source>Kinetic Energy (Foot Lbs.)</source>
        <translation>Kinetische Energie (Foot Lbs.)</translation>
    </message>
    <message>
        <source>Hunting Usage</source>
        <translation>Jagdeinsatz</translation>
    </message>
    <message>
        <source>Game suited to this energy</source>
        <translation>Für diese Energie geeignetes Wild</translation>
    </message>
    <message>
        <source>C&amp;alculate</source>
        <translation>&amp;Berechnen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Momentum (Slug Ft/Sec)</source>
        <translation>Impuls (Slug Ft/Sec)</translation>
    </message>
    <message>
        <source>Arrow Length</source>
        <translation>Pfeillänge</translation>
    </message>
    <message>
        <source>(L)</source>
        <translation>(L)</translation>
    </message>
    <message>
        <source>Balance distance from nock groove</source>
        <translation>Abstand des Schwerpunkts vom Nockengrund</translation>
    </message>
    <message>
        <source>(A)</source>
        <translation>(A)</translation>
    </message>
    <message>
        <source>Front-of-Center Percent:</source>
        <translation>FOC in Prozent:</translation>
    </message>
    <message>
        <source>Front-of-Center Percent</source>
        <translation>FOC in Prozent</translation>
    </message>
</context>
<context>
    <name>arrowsel::calc::TSpecsFrm</name>
    <message>
        <source>Shaft Type:</source>
        <translation>Schafttyp:</translation>
    </message>
    <message>
        <source>Maximum Length:</source>
        <translation>Maximale Länge:</translation>
    </message>
    <message>
        <source>Outside Diameter:</source>
        <translation>Außendurchmesser:</translation>
    </message>
    <message>
        <source>Grains per Inch:</source>
        <translation>Grain pro Zoll:</translation>
    </message>
    <message>
        <source>Wall Thickness:</source>
        <translation>Wandstärke:</translation>
    </message>
    <message>
        <source>Inside Diameter:</source>
        <translation>Innendurchmesser:</translation>
    </message>
    <message>
        <source>Spine at 29&quot;:</source>
        <translation>Spine bei 29&quot;:</translation>
    </message>
    <message>
        <source>2009 Arrow Weight Calculator/Specifications</source>
        <translation>Pfeilgewichtsrechner/Schaftdaten 2009</translation>
    </message>
    <message>
        <source>Note: Specs of shaft type Aluminum are from KV63 shafts.</source>
        <translation>Hinweis: Aluminium-Daten stammen von KV63-Schäften.</translation>
    </message>
    <message>
        <source>Shaft Size &amp; Models:</source>
        <translation>Schaftgröße &amp; Modelle:</translation>
    </message>
    <message>
        <source>Shaft Size</source>
        <translation>Schaftgröße</translation>
    </message>
    <message>
        <source>Models</source>
        <translation>Modelle</translation>
    </message>
    <message>
        <source>Arrow Length:</source>
        <translation>Pfeillänge:</translation>
    </message>
    <message>
        <source>Point Weight:</source>
        <translation>Spitzengewicht:</translation>
    </message>
    <message>
        <source>Nock System Weight:</source>
        <translation>Gewicht Nockensystem:</translation>
    </message>
    <message>
        <source>Insert Weight:</source>
        <translation>Insert-Gewicht:</translation>
    </message>
    <message>
        <source>Fletching Weight:</source>
        <translation>Gewicht Befiederung:</translation>
    </message>
    <message>
        <source>Shaft Weight</source>
        <translation>Schaftgewicht</translation>
    </message>
    <message>
        <source>Approx. Total Arrow Weight</source>
        <translation>Ungefähres Pfeilgesamtgewicht</translation>
    </message>
    <message>
        <source>Grains per pound of draw weight</source>
        <translation>Grain pro Pfund Zuggewicht</translation>
    </message>
    <message>
        <source>Warning: under 5 grains per pound of draw weight. An arrow this light can damage the bow, as a dry fire does.</source>
        <translation>Warnung: unter 5 Grain pro Pfund Zuggewicht. Ein so leichter Pfeil kann den Bogen beschädigen, wie ein Leerschuss.</translation>
    </message>
    <message>
        <source>No shaft chosen: click a shaft&apos;s size on the main window.</source>
        <translation>Kein Schaft gewählt: Klicken Sie im Hauptfenster auf die Größe eines Schafts.</translation>
    </message>
    <message>
        <source>Approx. Total Arrow Weight:</source>
        <translation>Ca. Pfeilgesamtgewicht:</translation>
    </message>
    <message>
        <source>Shaft Weight:</source>
        <translation>Schaftgewicht:</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Kinetic Energy &amp;&amp;
F.O.C. Calculator</source>
        <translation>Kinetische Energie &amp;&amp;
FOC-Rechner</translation>
    </message>
    <message>
        <source>Kinetic Energy &amp; F.O.C. Calculator</source>
        <translation>Rechner für kinetische Energie &amp; FOC</translation>
    </message>
    <message>
        <source>2009 Shaft
Models</source>
        <translation>Schaftmodelle
2009</translation>
    </message>
    <message>
        <source>2009 Shaft Models</source>
        <translation>Schaftmodelle 2009</translation>
    </message>
    <message>
        <source>Print &amp;Build Sheet</source>
        <translation>&amp;Baublatt drucken</translation>
    </message>
    <message>
        <source>Print Build Sheet</source>
        <translation>Baublatt drucken</translation>
    </message>
    <message>
        <source>%1 Gr.</source>
        <translation>%1 Gr.</translation>
    </message>
    <message>
        <source>(%1 Gr./Lb.)</source>
        <translation>(%1 Gr./Lb.)</translation>
    </message>
    <message>
        <source>Customer&apos;s name for the build sheet (may stay empty):</source>
        <translation>Name des Kunden für das Baublatt (darf leer bleiben):</translation>
    </message>
</context>
<context>
    <name>arrowsel::calc::TSpeedPanel</name>
    <message>
        <source>Speed and Energy</source>
        <translation>Geschwindigkeit und Energie</translation>
    </message>
    <message>
        <source>Speed &amp;Rating:</source>
        <translation>&amp;Nenngeschwindigkeit:</translation>
    </message>
    <message>
        <source>Speed rating standard</source>
        <translation>Norm der Nenngeschwindigkeit</translation>
    </message>
    <message>
        <source>Speed rating in feet per second</source>
        <translation>Nenngeschwindigkeit in Fuß pro Sekunde</translation>
    </message>
    <message>
        <source>&amp;Draw Length:</source>
        <translation>&amp;Auszugslänge:</translation>
    </message>
    <message>
        <source>Draw length in inches</source>
        <translation>Auszugslänge in Zoll</translation>
    </message>
    <message>
        <source>The archer&apos;s draw length; the rating is for 30 inches.</source>
        <translation>Die Auszugslänge des Schützen; die Nenngeschwindigkeit gilt für 30 Zoll.</translation>
    </message>
    <message>
        <source>&amp;Weight on String:</source>
        <translation>&amp;Gewicht auf der Sehne:</translation>
    </message>
    <message>
        <source>Weight on the string in grains</source>
        <translation>Gewicht auf der Sehne in Grain</translation>
    </message>
    <message>
        <source>Peep sight, D-loop, silencers and string stops, in grains.</source>
        <translation>Peep Sight, D-Loop, Dämpfer und Sehnenstopper, in Grain.</translation>
    </message>
    <message>
        <source>&amp;Measured Speed:</source>
        <translation>Ge&amp;messen:</translation>
    </message>
    <message>
        <source>Measured speed in feet per second</source>
        <translation>Gemessene Geschwindigkeit in Fuß pro Sekunde</translation>
    </message>
    <message>
        <source>A chronograph reading; it replaces the estimate.</source>
        <translation>Ein Chronographen-Messwert; er ersetzt die Schätzung.</translation>
    </message>
    <message>
        <source>Balance &amp;Point:</source>
        <translation>&amp;Schwerpunkt:</translation>
    </message>
    <message>
        <source>Balance point from the nock groove in inches</source>
        <translation>Schwerpunkt vom Nockengrund in Zoll</translation>
    </message>
    <message>
        <source>The balance point&apos;s distance from the nock groove, for the front of center.</source>
        <translation>Der Abstand des Schwerpunkts vom Nockengrund, für den FOC.</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source> ft/s</source>
        <translation> ft/s</translation>
    </message>
    <message>
        <source> in</source>
        <translation> in</translation>
    </message>
    <message>
        <source> Gr.</source>
        <translation> Gr.</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>Geschwindigkeit:</translation>
    </message>
    <message>
        <source>Kinetic Energy:</source>
        <translation>Kinetische Energie:</translation>
    </message>
    <message>
        <source>Momentum:</source>
        <translation>Impuls:</translation>
    </message>
    <message>
        <source>Game Class:</source>
        <translation>Wildklasse:</translation>
    </message>
    <message>
        <source>Front of Center:</source>
        <translation>FOC:</translation>
    </message>
    <message>
        <source>%1 ft/s (estimate)</source>
        <translation>%1 ft/s (geschätzt)</translation>
    </message>
    <message>
        <source>%1 ft/s (measured)</source>
        <translation>%1 ft/s (gemessen)</translation>
    </message>
    <message>
        <source>%1 Ft. Lbs.</source>
        <translation>%1 Ft. Lbs.</translation>
    </message>
    <message>
        <source>%1 Slug Ft/Sec</source>
        <translation>%1 Slug Ft/Sec</translation>
    </message>
    <message>
        <source>An estimate from the %1 rating by the shop rule of thumb (see the guide); a chronograph reading is the true figure.</source>
        <translation>Geschätzt aus der %1-Nenngeschwindigkeit nach der Faustregel der Händler (siehe Übersicht); genau ist nur ein Chronographen-Messwert.</translation>
    </message>
    <message>
        <source>The speed is the measured one; no estimate is made.</source>
        <translation>Die Geschwindigkeit ist gemessen; es wird nichts geschätzt.</translation>
    </message>
</context>
<context>
    <name>arrowsel::records::BookSession</name>
    <message>
        <source>Waiting for %1 …</source>
        <translation>Warten auf %1 …</translation>
    </message>
    <message>
        <source>Waiting for the customer files in %1: another counter may be saving …</source>
        <translation>Warten auf die Kundendateien in %1: Ein anderer Arbeitsplatz speichert eventuell gerade …</translation>
    </message>
</context>
<context>
    <name>arrowsel::records::BookWait</name>
    <message>
        <source>Waiting for</source>
        <translation>Warten auf</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Stop waiting; what you typed stays on the window</source>
        <translation>Nicht länger warten; Ihre Eingaben bleiben im Fenster</translation>
    </message>
    <message>
        <source>Customer book</source>
        <translation>Kundenkartei</translation>
    </message>
</context>
<context>
    <name>arrowsel::records::CustomerEdits</name>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Adresse:</translation>
    </message>
    <message>
        <source>City / St / ZIP:</source>
        <translation>Ort / Staat / PLZ:</translation>
    </message>
    <message>
        <source>Country:</source>
        <translation>Land:</translation>
    </message>
    <message>
        <source>Code:</source>
        <translation>Code:</translation>
    </message>
    <message>
        <source>Comments:</source>
        <translation>Bemerkungen:</translation>
    </message>
</context>
<context>
    <name>arrowsel::records::FieldBinding</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Address line 1</source>
        <translation>Adresszeile 1</translation>
    </message>
    <message>
        <source>Address line 2</source>
        <translation>Adresszeile 2</translation>
    </message>
    <message>
        <source>City</source>
        <translation>Ort</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Staat</translation>
    </message>
    <message>
        <source>ZIP</source>
        <translation>PLZ</translation>
    </message>
    <message>
        <source>Country</source>
        <translation>Land</translation>
    </message>
    <message>
        <source>Code</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>Comments</source>
        <translation>Bemerkungen</translation>
    </message>
    <message>
        <source>Up to %1 characters</source>
        <translation>Bis zu %1 Zeichen</translation>
    </message>
    <message>
        <source>The comments hold at most %1 characters; what went past that was left out.</source>
        <translation>Die Bemerkungen fassen höchstens %1 Zeichen; was darüber hinausging, wurde weggelassen.</translation>
    </message>
    <message>
        <source>These comments are longer than the program reads; only their first %1 characters are shown. They are shown, not edited, and stay as stored.</source>
        <translation>Diese Bemerkungen sind länger, als das Programm liest; nur ihre ersten %1 Zeichen werden gezeigt. Sie werden nur angezeigt, nicht bearbeitet, und bleiben, wie sie gespeichert sind.</translation>
    </message>
    <message>
        <source>These comments hold %1 characters, more than the %2 this window edits. They are shown, not edited, and stay as stored.</source>
        <translation>Diese Bemerkungen umfassen %1 Zeichen, mehr als die %2, die dieses Fenster bearbeitet. Sie werden nur angezeigt, nicht bearbeitet, und bleiben, wie sie gespeichert sind.</translation>
    </message>
    <message>
        <source>Shop Name</source>
        <translation>Geschäftsname</translation>
    </message>
    <message>
        <source>Address 1</source>
        <translation>Adresse 1</translation>
    </message>
    <message>
        <source>Address 2</source>
        <translation>Adresse 2</translation>
    </message>
    <message>
        <source>Zip</source>
        <translation>PLZ</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>FAX</source>
        <translation>Fax</translation>
    </message>
    <message>
        <source>Additional Report Text</source>
        <translation>Zusatztext im Bericht</translation>
    </message>
</context>
<context>
    <name>arrowsel::records::RecordCommands</name>
    <message>
        <source>There are no records on file currently, use Save Setup first.</source>
        <translation>Derzeit sind keine Datensätze gespeichert; verwenden Sie zuerst „Setup speichern“.</translation>
    </message>
    <message>
        <source>Exporting the customer records...</source>
        <translation>Die Kundendatensätze werden exportiert...</translation>
    </message>
    <message>
        <source>Export Customer Database</source>
        <translation>Kundendatenbank exportieren</translation>
    </message>
    <message>
        <source>The customer records could not be exported to %1.
%2
Check that the folder can be written to and try again.</source>
        <translation>Die Kundendatensätze konnten nicht nach %1 exportiert werden.
%2
Prüfen Sie, ob in den Ordner geschrieben werden kann, und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>File CUSTDB.TXT has been created
%1</source>
        <translation>Die Datei CUSTDB.TXT wurde erstellt
%1</translation>
    </message>
</context>
<context>
    <name>arrowsel::records::SummaryPanel</name>
    <message>
        <source>Bow Weight:</source>
        <translation>Zuggewicht:</translation>
    </message>
    <message>
        <source>Arrow Length:</source>
        <translation>Pfeillänge:</translation>
    </message>
    <message>
        <source>Point Weight:</source>
        <translation>Spitzengewicht:</translation>
    </message>
    <message>
        <source>Bow Type:</source>
        <translation>Bogentyp:</translation>
    </message>
    <message>
        <source>Wheel Type:</source>
        <translation>Cam-Typ:</translation>
    </message>
    <message>
        <source>Release:</source>
        <translation>Release:</translation>
    </message>
    <message>
        <source>Brace Height:</source>
        <translation>Standhöhe:</translation>
    </message>
    <message>
        <source>Over Draw:</source>
        <translation>Overdraw:</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>Tabelle</translation>
    </message>
</context>
<context>
    <name>arrowsel::records::TCustInfo</name>
    <message>
        <source>2009 Customer Information</source>
        <translation>Kundendaten 2009</translation>
    </message>
    <message>
        <source>Close without saving? What you typed for this customer will not be stored.
Choose No to go back and save it.</source>
        <translation>Ohne Speichern schließen? Was Sie für diesen Kunden eingegeben haben, wird nicht gespeichert.
Wählen Sie Nein, um zurückzukehren und es zu speichern.</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Datum:</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>&amp;Save Record</source>
        <translation>Datensatz &amp;speichern</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Incomplete address, cannot add record</source>
        <translation>Adresse unvollständig, der Datensatz kann nicht hinzugefügt werden</translation>
    </message>
    <message>
        <source>The customer record could not be saved in %1.
%2
What you typed is still here; correct the cause and choose Save Record again.</source>
        <translation>Der Kundendatensatz konnte nicht in %1 gespeichert werden.
%2
Ihre Eingaben sind noch vorhanden; beheben Sie die Ursache und wählen Sie erneut „Datensatz speichern“.</translation>
    </message>
    <message>
        <source>The customer record was stored after all, as it stood when you chose Save Record; what you typed since was not. Use Get Setup to change it.</source>
        <translation>Der Kundendatensatz wurde doch noch gespeichert, so wie er war, als Sie „Datensatz speichern“ gewählt haben; was Sie seitdem eingegeben haben, nicht. Ändern Sie ihn über „Setup laden“.</translation>
    </message>
    <message>
        <source>New record has been successfully added</source>
        <translation>Der neue Datensatz wurde erfolgreich hinzugefügt</translation>
    </message>
</context>
<context>
    <name>arrowsel::records::TGetCust</name>
    <message>
        <source>2009 Retrieve Customer Information</source>
        <translation>Kundendaten abrufen 2009</translation>
    </message>
    <message>
        <source>Discard the changes typed into this customer&apos;s record?
Choose No to go back and post them.</source>
        <translation>Die Änderungen am Datensatz dieses Kunden verwerfen?
Wählen Sie Nein, um zurückzukehren und sie zu speichern.</translation>
    </message>
    <message>
        <source>Record navigator</source>
        <translation>Datensatznavigator</translation>
    </message>
    <message>
        <source>Go to first record</source>
        <translation>Zum ersten Datensatz</translation>
    </message>
    <message>
        <source>Go to previous record</source>
        <translation>Zum vorherigen Datensatz</translation>
    </message>
    <message>
        <source>Go to next record</source>
        <translation>Zum nächsten Datensatz</translation>
    </message>
    <message>
        <source>Go to last record</source>
        <translation>Zum letzten Datensatz</translation>
    </message>
    <message>
        <source>Edit record</source>
        <translation>Datensatz bearbeiten</translation>
    </message>
    <message>
        <source>Post record</source>
        <translation>Datensatz speichern</translation>
    </message>
    <message>
        <source>Cancel changes </source>
        <translation>Änderungen verwerfen </translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>&amp;Return Data </source>
        <translation>Daten &amp;übernehmen </translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>D&amp;rucken</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>The customer record could not be saved in %1.
%2
What you typed is still here; correct the cause and post it again.</source>
        <translation>Der Kundendatensatz konnte nicht in %1 gespeichert werden.
%2
Ihre Eingaben sind noch vorhanden; beheben Sie die Ursache und speichern Sie sie erneut.</translation>
    </message>
    <message>
        <source>%1

Store what you typed over the other change?
Yes stores yours. No shows the record as it is stored now and drops what you typed.</source>
        <translation>%1

Ihre Eingaben über die andere Änderung speichern?
Ja speichert Ihre Eingaben. Nein zeigt den Datensatz, wie er jetzt gespeichert ist, und verwirft Ihre Eingaben.</translation>
    </message>
    <message>
        <source>Find Customer</source>
        <translation>Kunden suchen</translation>
    </message>
    <message>
        <source>Enter First Letters of Name, Xxx</source>
        <translation>Anfangsbuchstaben des Namens eingeben, Xxx</translation>
    </message>
    <message>
        <source>%1

Choose Rebuild to build the index again from the customer records now (or run: arrowsel-cli customers reindex --book %2).</source>
        <translation>%1

Wählen Sie „Neu aufbauen“, um den Index jetzt aus den Kundendatensätzen neu aufzubauen (oder führen Sie aus: arrowsel-cli customers reindex --book %2).</translation>
    </message>
    <message>
        <source>Rebuild</source>
        <translation>Neu aufbauen</translation>
    </message>
    <message>
        <source>Name not found</source>
        <translation>Name nicht gefunden</translation>
    </message>
    <message>
        <source>The customer report is not available yet.</source>
        <translation>Der Kundenbericht ist noch nicht verfügbar.</translation>
    </message>
</context>
<context>
    <name>arrowsel::records::TShopInf</name>
    <message>
        <source>2009 Shop Information</source>
        <translation>Geschäftsdaten 2009</translation>
    </message>
    <message>
        <source>Leave without saving? The changes to the shop&apos;s details will not be stored.
Choose No to go back and save them.</source>
        <translation>Ohne Speichern verlassen? Die Änderungen an den Geschäftsdaten werden nicht gespeichert.
Wählen Sie Nein, um zurückzukehren und sie zu speichern.</translation>
    </message>
    <message>
        <source>Shop Name:</source>
        <translation>Geschäftsname:</translation>
    </message>
    <message>
        <source>Address 1:</source>
        <translation>Adresse 1:</translation>
    </message>
    <message>
        <source>Address 2:</source>
        <translation>Adresse 2:</translation>
    </message>
    <message>
        <source>City / St / Zip:</source>
        <translation>Ort / Staat / PLZ:</translation>
    </message>
    <message>
        <source>Phone:</source>
        <translation>Telefon:</translation>
    </message>
    <message>
        <source>FAX:</source>
        <translation>Fax:</translation>
    </message>
    <message>
        <source>Additional Report Text:</source>
        <translation>Zusatztext im Bericht:</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>The data folder %1 has no shop table (%2) yet.
Type the shop&apos;s details and choose Save to create it.</source>
        <translation>Der Datenordner %1 enthält noch keine Geschäftstabelle (%2).
Geben Sie die Geschäftsdaten ein und wählen Sie „Speichern“, um sie anzulegen.</translation>
    </message>
    <message>
        <source>The shop table could not be created: %1
What you typed is still here; correct the cause and choose Save again.</source>
        <translation>Die Geschäftstabelle konnte nicht angelegt werden: %1
Ihre Eingaben sind noch vorhanden; beheben Sie die Ursache und wählen Sie erneut „Speichern“.</translation>
    </message>
    <message>
        <source>The shop&apos;s details could not be saved: %1
What you typed is still here; correct the cause and choose Save again.</source>
        <translation>Die Geschäftsdaten konnten nicht gespeichert werden: %1
Ihre Eingaben sind noch vorhanden; beheben Sie die Ursache und wählen Sie erneut „Speichern“.</translation>
    </message>
</context>
<context>
    <name>arrowsel::reports::BuildSheet</name>
    <message>
        <source>Arrow Build Sheet</source>
        <translation>Pfeil-Baublatt</translation>
    </message>
    <message>
        <source>The Shaft</source>
        <translation>Der Schaft</translation>
    </message>
    <message>
        <source>Cut Length and Weights</source>
        <translation>Schnittlänge und Gewichte</translation>
    </message>
    <message>
        <source>Speed and Energy</source>
        <translation>Geschwindigkeit und Energie</translation>
    </message>
    <message>
        <source>%1 Gr.</source>
        <translation>%1 gr</translation>
    </message>
    <message>
        <source>%1 in.</source>
        <translation>%1 Zoll</translation>
    </message>
    <message>
        <source>%1 ft/s</source>
        <translation>%1 ft/s</translation>
    </message>
    <message>
        <source>%1 %2 ft/s</source>
        <translation>%1 %2 ft/s</translation>
    </message>
    <message>
        <source>%1 ft/s (estimated)</source>
        <translation>%1 ft/s (geschätzt)</translation>
    </message>
    <message>
        <source>%1 ft/s (measured)</source>
        <translation>%1 ft/s (gemessen)</translation>
    </message>
    <message>
        <source>%1 Ft. Lbs.</source>
        <translation>%1 ft-lbs</translation>
    </message>
    <message>
        <source>%1 Slug Ft/Sec</source>
        <translation>%1 Slug-ft/s</translation>
    </message>
    <message>
        <source>%1 (balance %2 in. from the nock groove)</source>
        <translation>%1 (Schwerpunkt %2 Zoll vom Nockengrund)</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>k. A.</translation>
    </message>
    <message>
        <source>Youth</source>
        <translation>Jugend</translation>
    </message>
    <message>
        <source>Front of Center:</source>
        <translation>FOC:</translation>
    </message>
    <message>
        <source>The speed is an estimate from the bow&apos;s %1 rating by the shop rule of thumb (%2 ft/s per inch of draw under %3 in., %4 per pound under %5 lb, 1 per %6 grains of arrow over %7 and 1 per %8 grains on the string). A chronograph reading is the true figure.</source>
        <translation>Geschätzt aus der %1-Angabe des Bogens nach der Faustregel des Fachhandels (%2 ft/s je Zoll Auszug unter %3 Zoll, %4 je Pfund unter %5 lb, 1 je %6 Grain Pfeil über %7 und 1 je %8 Grain auf der Sehne). Genau ist nur eine Chronographenmessung.</translation>
    </message>
    <message>
        <source>The speed is a chronograph reading.</source>
        <translation>Die Geschwindigkeit ist eine Chronographenmessung.</translation>
    </message>
    <message>
        <source>Customer:</source>
        <translation>Kunde:</translation>
    </message>
    <message>
        <source>Peak Bow Weight:</source>
        <translation>Max. Zuggewicht:</translation>
    </message>
    <message>
        <source>Chart:</source>
        <translation>Tabelle:</translation>
    </message>
    <message>
        <source>Arrow Length:</source>
        <translation>Pfeillänge:</translation>
    </message>
    <message>
        <source>Bow Type:</source>
        <translation>Bogentyp:</translation>
    </message>
    <message>
        <source>Release:</source>
        <translation>Release:</translation>
    </message>
    <message>
        <source>Cam:</source>
        <translation>Cam:</translation>
    </message>
    <message>
        <source>Over Draw:</source>
        <translation>Overdraw:</translation>
    </message>
    <message>
        <source>Brace Height:</source>
        <translation>Standhöhe:</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Größe:</translation>
    </message>
    <message>
        <source>Spine:</source>
        <translation>Spine:</translation>
    </message>
    <message>
        <source>Shaft Type:</source>
        <translation>Schafttyp:</translation>
    </message>
    <message>
        <source>Grains per Inch:</source>
        <translation>Grain pro Zoll:</translation>
    </message>
    <message>
        <source>Outside Diameter:</source>
        <translation>Außendurchmesser:</translation>
    </message>
    <message>
        <source>Inside Diameter:</source>
        <translation>Innendurchmesser:</translation>
    </message>
    <message>
        <source>Models:</source>
        <translation>Modelle:</translation>
    </message>
    <message>
        <source>Cut Length:</source>
        <translation>Schnittlänge:</translation>
    </message>
    <message>
        <source>Shaft Weight:</source>
        <translation>Schaftgewicht:</translation>
    </message>
    <message>
        <source>Point Weight:</source>
        <translation>Spitzengewicht:</translation>
    </message>
    <message>
        <source>Insert Weight:</source>
        <translation>Insertgewicht:</translation>
    </message>
    <message>
        <source>Nock System Weight:</source>
        <translation>Nockengewicht:</translation>
    </message>
    <message>
        <source>Fletching Weight:</source>
        <translation>Befiederungsgewicht:</translation>
    </message>
    <message>
        <source>Total Arrow Weight:</source>
        <translation>Pfeilgesamtgewicht:</translation>
    </message>
    <message>
        <source>Grains per Pound:</source>
        <translation>Grain pro Pfund:</translation>
    </message>
    <message>
        <source>Speed Rating:</source>
        <translation>Nenngeschwindigkeit:</translation>
    </message>
    <message>
        <source>Draw Length:</source>
        <translation>Auszugslänge:</translation>
    </message>
    <message>
        <source>Weight on String:</source>
        <translation>Gewicht auf Sehne:</translation>
    </message>
    <message>
        <source>Measured Speed:</source>
        <translation>Gemessen:</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>Geschwindigkeit:</translation>
    </message>
    <message>
        <source>Kinetic Energy:</source>
        <translation>Kinetische Energie:</translation>
    </message>
    <message>
        <source>Momentum:</source>
        <translation>Impuls:</translation>
    </message>
    <message>
        <source>Game Class:</source>
        <translation>Wildklasse:</translation>
    </message>
</context>
<context>
    <name>arrowsel::reports::SetupReports</name>
    <message>
        <source>Hard Cam</source>
        <translation>Hard-Cam</translation>
    </message>
    <message>
        <source>Medium Cam</source>
        <translation>Medium-Cam</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>1 inch</source>
        <translation>1 Zoll</translation>
    </message>
    <message>
        <source>2 inches</source>
        <translation>2 Zoll</translation>
    </message>
    <message>
        <source>3 inches</source>
        <translation>3 Zoll</translation>
    </message>
    <message>
        <source>4 inches</source>
        <translation>4 Zoll</translation>
    </message>
    <message>
        <source>5 inches</source>
        <translation>5 Zoll</translation>
    </message>
    <message>
        <source>Mechanical</source>
        <translation>Mechanisch</translation>
    </message>
    <message>
        <source>Fingers</source>
        <translation>Finger</translation>
    </message>
    <message>
        <source>More Than 6 1/2&quot;</source>
        <translation>Mehr als 6 1/2&quot;</translation>
    </message>
    <message>
        <source>Less Than 6 1/2&quot;</source>
        <translation>Weniger als 6 1/2&quot;</translation>
    </message>
    <message>
        <source>Soft/Energy Cam</source>
        <translation>Soft/Energy-Cam</translation>
    </message>
    <message>
        <source>Round</source>
        <translation>Rund</translation>
    </message>
    <message>
        <source>Compound</source>
        <translation>Compound</translation>
    </message>
    <message>
        <source>Recurve</source>
        <translation>Recurve</translation>
    </message>
    <message>
        <source>Longbow</source>
        <translation>Langbogen</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>k. A.</translation>
    </message>
    <message>
        <source>Phone: </source>
        <translation>Tel.: </translation>
    </message>
    <message>
        <source>FAX: </source>
        <translation>Fax: </translation>
    </message>
    <message>
        <source>Equipment Setup Variables</source>
        <translation>Ausrüstung und Setup</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Models</source>
        <translation>Modelle</translation>
    </message>
    <message>
        <source>Weight</source>
        <translation>Gewicht</translation>
    </message>
    <message>
        <source>Peak Bow Weight:</source>
        <translation>Max. Zuggewicht:</translation>
    </message>
    <message>
        <source>Arrow Length:</source>
        <translation>Pfeillänge:</translation>
    </message>
    <message>
        <source>Point Weight:</source>
        <translation>Spitzengewicht:</translation>
    </message>
    <message>
        <source>Over Draw:</source>
        <translation>Overdraw:</translation>
    </message>
    <message>
        <source>Bow Type:</source>
        <translation>Bogentyp:</translation>
    </message>
    <message>
        <source>Wheel Type:</source>
        <translation>Cam-Typ:</translation>
    </message>
    <message>
        <source>Release:</source>
        <translation>Release:</translation>
    </message>
    <message>
        <source>Brace Height:</source>
        <translation>Standhöhe:</translation>
    </message>
    <message>
        <source>2009 Hunting Shafts</source>
        <translation>Jagdschäfte 2009</translation>
    </message>
    <message>
        <source>Spine Value</source>
        <translation>Spine-Wert</translation>
    </message>
    <message>
        <source>Carbon Shafts</source>
        <translation>Carbonschäfte</translation>
    </message>
    <message>
        <source>Soft Cam</source>
        <translation>Soft-Cam</translation>
    </message>
    <message>
        <source>See Below</source>
        <translation>Siehe unten</translation>
    </message>
    <message>
        <source>2009 Target Shafts</source>
        <translation>Scheibenschäfte 2009</translation>
    </message>
    <message>
        <source>2009 Orvik Shafts</source>
        <translation>Orvik-Schäfte 2009</translation>
    </message>
    <message>
        <source>Spine</source>
        <translation>Spine</translation>
    </message>
    <message>
        <source>2009 Youth Shafts</source>
        <translation>Jugendschäfte 2009</translation>
    </message>
    <message>
        <source>Arrow Shaft Size Selection Report</source>
        <translation>Bericht zur Pfeilschaftauswahl</translation>
    </message>
</context>
<context>
    <name>arrowsel::reports::TCustInfoRpt</name>
    <message>
        <source>Customer Detail Report</source>
        <translation>Kundenbericht</translation>
    </message>
    <message>
        <source>For Customer:</source>
        <translation>Für Kunde:</translation>
    </message>
    <message>
        <source>Bow Weight:</source>
        <translation>Zuggewicht:</translation>
    </message>
    <message>
        <source>Bow Type:</source>
        <translation>Bogentyp:</translation>
    </message>
    <message>
        <source>Arrow Length:</source>
        <translation>Pfeillänge:</translation>
    </message>
    <message>
        <source>Wheel Type:</source>
        <translation>Cam-Typ:</translation>
    </message>
    <message>
        <source>Draw Length:</source>
        <translation>Auszugslänge:</translation>
    </message>
    <message>
        <source>Release:</source>
        <translation>Release:</translation>
    </message>
    <message>
        <source>Bow Length:</source>
        <translation>Bogenlänge:</translation>
    </message>
    <message>
        <source>Point Weight:</source>
        <translation>Spitzengewicht:</translation>
    </message>
    <message>
        <source>String Type:</source>
        <translation>Sehnentyp:</translation>
    </message>
    <message>
        <source>Over Draw:</source>
        <translation>Overdraw:</translation>
    </message>
    <message>
        <source>Comments:</source>
        <translation>Bemerkungen:</translation>
    </message>
    <message>
        <source>Phone:</source>
        <translation>Tel.:</translation>
    </message>
    <message>
        <source>FAX:</source>
        <translation>Fax:</translation>
    </message>
    <message>
        <source>Printed: </source>
        <translation>Gedruckt: </translation>
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
