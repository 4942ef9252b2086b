<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>Faults</name>
    <message>
        <source>Not yet translated</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading %1</source>
        <translation>Lade Datei</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Fish &amp;&amp; Chips</source>
        <translation>Fisch mit Pommes</translation>
    </message>
</context>
</TS>
