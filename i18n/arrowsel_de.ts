<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
<context>
    <name>arrowsel</name>
    <message>
        <source>Printing...</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Increase %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Decrease %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
