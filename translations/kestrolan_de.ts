<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>CommandLine</name>
    <message>
        <source>Usage: kestrolan [OPTION...] [DATABASE...]
Shows radar databases (radar.lzw, dangerz.lzw) as a table; each DATABASE is loaded in
order before the window opens.

  -nocheck     start without offering the update check (any argument skips it)
  -h, --help   print this help and exit
  --version    print the version and exit
  --           end of options: every argument after it is a DATABASE

Any other argument is a DATABASE, one that starts with &quot;-&quot; included.
</source>
        <translation>Aufruf: kestrolan [OPTION...] [DATENBANK...]
Zeigt Radar-Datenbanken (radar.lzw, dangerz.lzw) als Tabelle; jede DATENBANK wird der Reihe
nach geladen, bevor sich das Fenster öffnet.

  -nocheck     ohne Angebot der Update-Prüfung starten (jedes Argument überspringt sie)
  -h, --help   diese Hilfe ausgeben und beenden
  --version    die Version ausgeben und beenden
  --           Ende der Optionen: jedes weitere Argument ist eine DATENBANK

Jedes andere Argument ist eine DATENBANK, auch eines, das mit „-“ beginnt.
</translation>
    </message>
</context>
<context>
    <name>CoreErrors</name>
    <message>
        <source>LZW file not found</source>
        <translation>LZW-Datei nicht gefunden</translation>
    </message>
    <message>
        <source>LZW file read error</source>
        <translation>Lesefehler in der LZW-Datei</translation>
    </message>
    <message>
        <source>Wrong file format</source>
        <translation>Falsches Dateiformat</translation>
    </message>
    <message>
        <source>Error creating temporary destination file</source>
        <translation>Fehler beim Anlegen der temporären Zieldatei</translation>
    </message>
    <message>
        <source>LZW decompress error</source>
        <translation>Fehler beim Entpacken der LZW-Datei</translation>
    </message>
    <message>
        <source>Database ends inside a record</source>
        <translation>Die Datenbank endet mitten in einem Datensatz</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Nicht genügend Arbeitsspeicher</translation>
    </message>
    <message>
        <source>Error creating file %1</source>
        <translation>Fehler beim Anlegen der Datei %1</translation>
    </message>
    <message>
        <source>Error writing file %1</source>
        <translation>Fehler beim Schreiben der Datei %1</translation>
    </message>
    <message>
        <source>cannot create &apos;%1&apos;: no free temporary name in its folder</source>
        <translation>„%1“ kann nicht angelegt werden: kein freier temporärer Name in ihrem Ordner</translation>
    </message>
    <message>
        <source>cannot create &apos;%1&apos;: %2</source>
        <translation>„%1“ kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>cannot write &apos;%1&apos;: %2</source>
        <translation>„%1“ kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>cannot open &apos;%1&apos;: %2</source>
        <translation>„%1“ kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>cannot read &apos;%1&apos;: %2</source>
        <translation>„%1“ kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>missing closing quote in &apos;%1&apos;</source>
        <translation>schließendes Anführungszeichen fehlt in „%1“</translation>
    </message>
    <message>
        <source>&apos;-&apos; must be followed by a term in &apos;%1&apos;</source>
        <translation>auf „-“ muss ein Suchbegriff folgen in „%1“</translation>
    </message>
    <message>
        <source>&apos;-&apos; twice in &apos;%1&apos;</source>
        <translation>„-“ doppelt in „%1“</translation>
    </message>
    <message>
        <source>empty text in &apos;%1&apos;</source>
        <translation>leerer Text in „%1“</translation>
    </message>
    <message>
        <source>no column before &apos;%1&apos; in &apos;%2&apos;</source>
        <translation>keine Spalte vor „%1“ in „%2“</translation>
    </message>
    <message>
        <source>unknown column &apos;%1&apos; in &apos;%2&apos;</source>
        <translation>unbekannte Spalte „%1“ in „%2“</translation>
    </message>
    <message>
        <source>text column &apos;%1&apos; takes &apos;:&apos; in &apos;%2&apos;</source>
        <translation>Textspalte „%1“ verlangt „:“ in „%2“</translation>
    </message>
    <message>
        <source>missing number in &apos;%1&apos;</source>
        <translation>Zahl fehlt in „%1“</translation>
    </message>
    <message>
        <source>a range takes &apos;=&apos; or &apos;!=&apos; in &apos;%1&apos;</source>
        <translation>ein Bereich verlangt „=“ oder „!=“ in „%1“</translation>
    </message>
    <message>
        <source>bad number &apos;%1&apos; in &apos;%2&apos;</source>
        <translation>ungültige Zahl „%1“ in „%2“</translation>
    </message>
    <message>
        <source>empty range in &apos;%1&apos;</source>
        <translation>leerer Bereich in „%1“</translation>
    </message>
    <message>
        <source>column &apos;%1&apos; takes %2 in &apos;%3&apos;</source>
        <translation>Spalte „%1“ verlangt %2 in „%3“</translation>
    </message>
    <message>
        <source>near takes &apos;:&apos; and X,Y,R (a grid position and a radius) in &apos;%1&apos;</source>
        <translation>near verlangt „:“ und X,Y,R (eine Rasterposition und einen Radius) in „%1“</translation>
    </message>
    <message>
        <source>negative radius &apos;%1&apos; in &apos;%2&apos;</source>
        <translation>negativer Radius „%1“ in „%2“</translation>
    </message>
    <message>
        <source># is the record&apos;s place in the file and cannot be edited</source>
        <translation># ist die Stelle des Datensatzes in der Datei und lässt sich nicht bearbeiten</translation>
    </message>
    <message>
        <source>dir must be a whole number from -180 to 289, or 360</source>
        <translation>dir muss eine ganze Zahl von -180 bis 289 sein, oder 360</translation>
    </message>
    <message>
        <source>%1 must be a whole number from %2 to %3</source>
        <translation>%1 muss eine ganze Zahl von %2 bis %3 sein</translation>
    </message>
    <message>
        <source>%1 must be a whole number</source>
        <translation>%1 muss eine ganze Zahl sein</translation>
    </message>
    <message>
        <source>CoordX must end in at most %1 for this record, whose X is %2</source>
        <translation>CoordX darf bei diesem Datensatz, dessen X %2 ist, höchstens auf %1 enden</translation>
    </message>
    <message>
        <source>CoordY must end in at most %1 for this record, whose Y is %2</source>
        <translation>CoordY darf bei diesem Datensatz, dessen Y %2 ist, höchstens auf %1 enden</translation>
    </message>
    <message>
        <source>%1 must be valid text</source>
        <translation>%1 muss gültiger Text sein</translation>
    </message>
    <message>
        <source>%1 cannot hold a zero character: it ends the text</source>
        <translation>%1 kann kein Nullzeichen enthalten: es beendet den Text</translation>
    </message>
    <message>
        <source>%1 is written in Windows-1252, which has no &quot;%2&quot;</source>
        <translation>%1 ist in Windows-1252 geschrieben, das kein „%2“ kennt</translation>
    </message>
    <message>
        <source>%1 is written in Windows-1252, and these characters would read back as other ones</source>
        <translation>%1 ist in Windows-1252 geschrieben, und diese Zeichen würden als andere zurückgelesen</translation>
    </message>
    <message>
        <source>%1 holds at most %2 bytes besides its ending zero; this text needs %3</source>
        <translation>%1 fasst neben der abschließenden Null höchstens %2 Bytes; dieser Text braucht %3</translation>
    </message>
    <message>
        <source>The database has changed on disk since it was loaded, so its records cannot be written back exactly</source>
        <translation>Die Datenbank wurde seit dem Laden auf dem Datenträger geändert, daher lassen sich ihre Datensätze nicht genau zurückschreiben</translation>
    </message>
    <message>
        <source>The database is too large for an archive</source>
        <translation>Die Datenbank ist zu groß für ein Archiv</translation>
    </message>
</context>
<context>
    <name>FilterHelp</name>
    <message>
        <source>Speed, Road or City contains the word or the quoted phrase</source>
        <translation>Speed, Road oder City das Wort oder die Wortgruppe in Anführungszeichen enthält</translation>
    </message>
    <message>
        <source>that text column contains the text</source>
        <translation>diese Textspalte den Text enthält</translation>
    </message>
    <message>
        <source>the number column compares so (`=`, `!=`, `&lt;`, `&lt;=`, `&gt;`, `&gt;=`; `spd:100` is `spd=100`)</source>
        <translation>die Zahlenspalte den Vergleich erfüllt (`=`, `!=`, `&lt;`, `&lt;=`, `&gt;`, `&gt;=`; `spd:100` ist `spd=100`)</translation>
    </message>
    <message>
        <source>the number lies within (or outside) the inclusive range</source>
        <translation>die Zahl innerhalb (oder außerhalb) des Bereichs liegt, Grenzen eingeschlossen</translation>
    </message>
    <message>
        <source>the term does not match, as in `-city:Valmonte`</source>
        <translation>der Suchbegriff nicht passt, wie bei `-city:Valmonte`</translation>
    </message>
    <message>
        <source>while comparing: the Change column says so (`change:moved` includes `moved+changed`)</source>
        <translation>beim Vergleichen die Spalte Change dies angibt (`change:moved` schließt `moved+changed` ein)</translation>
    </message>
    <message>
        <source>Number columns go by their headers: `#`, `CoordX`, `CoordY`, `SS`, `MS`, `LS`, `X`, `Y`, `sc`, `mph`, `spd`, `dir`. A term that starts with a name and an operator must name a column; quote it to look for the text itself (`&quot;exit=3&quot;`).</source>
        <translation>Zahlenspalten heißen wie ihre Spaltenköpfe: `#`, `CoordX`, `CoordY`, `SS`, `MS`, `LS`, `X`, `Y`, `sc`, `mph`, `spd`, `dir`. Ein Suchbegriff, der mit einem Namen und einem Operator beginnt, muss eine Spalte nennen; in Anführungszeichen wird nach dem Text selbst gesucht (`&quot;exit=3&quot;`).</translation>
    </message>
    <message>
        <source>A term that does not parse gives the field a red frame and its reason as the tooltip; the table stays as it was.</source>
        <translation>Ein ungültiger Suchbegriff gibt dem Feld einen roten Rahmen und den Grund als Tooltip; die Tabelle bleibt, wie sie war.</translation>
    </message>
    <message>
        <source>Esc in the field clears the filter. A box drawn on the map with Shift held adds its `coordx=A..B coordy=C..D` terms.</source>
        <translation>Esc im Feld leert den Filter. Ein mit gedrückter Umschalttaste auf der Karte aufgezogenes Rechteck fügt seine Suchbegriffe `coordx=A..B coordy=C..D` hinzu.</translation>
    </message>
    <message>
        <source>Shows the rows that match every term; separate terms with blanks. Letter case is ignored.
</source>
        <translation>Zeigt die Zeilen, auf die jeder Suchbegriff zutrifft; Suchbegriffe durch Leerzeichen trennen. Groß- und Kleinschreibung zählt nicht.
</translation>
    </message>
    <message>
        <source>Esc clears the filter; F1 tells more.</source>
        <translation>Esc leert den Filter; F1 erklärt mehr.</translation>
    </message>
    <message>
        <source>The table shows the rows that match every term typed in the filter field; separate terms with blanks. Letter case is ignored, in texts and in column names.</source>
        <translation>Die Tabelle zeigt die Zeilen, auf die jeder im Filterfeld eingegebene Suchbegriff zutrifft; Suchbegriffe durch Leerzeichen trennen. Groß- und Kleinschreibung zählt nicht, weder in Texten noch in Spaltennamen.</translation>
    </message>
    <message>
        <source>Term</source>
        <translation>Suchbegriff</translation>
    </message>
    <message>
        <source>Shows the rows where</source>
        <translation>Zeigt die Zeilen, in denen</translation>
    </message>
    <message>
        <source>the grid position (`CoordX`, `CoordY`) lies within 500 grid units of (3113350, 49169510), by straight-line distance, the edge included; the radius may be 0, not negative</source>
        <translation>die Rasterposition (`CoordX`, `CoordY`) höchstens 500 Rastereinheiten von (3113350, 49169510) entfernt liegt, in gerader Linie gemessen, die Grenze eingeschlossen; der Radius darf 0 sein, nicht negativ</translation>
    </message>
    <message>
        <source>after Tools → Check Database: the Finding column names it (a row with several findings matches each; `finding:any` matches a row with any)</source>
        <translation>nach Werkzeuge → Datenbank prüfen: die Spalte Finding nennt es (eine Zeile mit mehreren Befunden passt zu jedem; `finding:any` passt zu jeder Zeile mit einem Befund)</translation>
    </message>
</context>
<context>
    <name>HelpDialogs</name>
    <message>
        <source>In the table</source>
        <translation>In der Tabelle</translation>
    </message>
    <message>
        <source>Arrows, Page Up, Page Down</source>
        <translation>Pfeiltasten, Bild auf, Bild ab</translation>
    </message>
    <message>
        <source>move through the rows</source>
        <translation>durch die Zeilen gehen</translation>
    </message>
    <message>
        <source>Home, End</source>
        <translation>Pos1, Ende</translation>
    </message>
    <message>
        <source>first or last row</source>
        <translation>erste oder letzte Zeile</translation>
    </message>
    <message>
        <source>Tab</source>
        <translation>Tab</translation>
    </message>
    <message>
        <source>on to the next control</source>
        <translation>weiter zum nächsten Bedienelement</translation>
    </message>
    <message>
        <source>In the filter field</source>
        <translation>Im Filterfeld</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>clear the filter</source>
        <translation>den Filter leeren</translation>
    </message>
    <message>
        <source>In the map</source>
        <translation>In der Karte</translation>
    </message>
    <message>
        <source>Wheel</source>
        <translation>Mausrad</translation>
    </message>
    <message>
        <source>zoom around the pointer</source>
        <translation>um den Mauszeiger zoomen</translation>
    </message>
    <message>
        <source>+, -</source>
        <translation>+, -</translation>
    </message>
    <message>
        <source>zoom around the middle</source>
        <translation>um die Mitte zoomen</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Pos1</translation>
    </message>
    <message>
        <source>fit all points in</source>
        <translation>alle Punkte einpassen</translation>
    </message>
    <message>
        <source>Drag</source>
        <translation>Ziehen</translation>
    </message>
    <message>
        <source>pan</source>
        <translation>verschieben</translation>
    </message>
    <message>
        <source>Click</source>
        <translation>Klicken</translation>
    </message>
    <message>
        <source>select the row of the point</source>
        <translation>die Zeile des Punkts auswählen</translation>
    </message>
    <message>
        <source>Shift+drag</source>
        <translation>Umschalt+Ziehen</translation>
    </message>
    <message>
        <source>filter the table to the box drawn</source>
        <translation>die Tabelle auf das aufgezogene Rechteck filtern</translation>
    </message>
    <message>
        <source>Version %1 of %2, by Tolvenqar</source>
        <translation>Version %1 vom %2, von Tolvenqar</translation>
    </message>
    <message>
        <source>A viewer for radar databases of speed checks and danger zones (radar.lzw, dangerz.lzw).</source>
        <translation>Ein Betrachter für Radar-Datenbanken mit Geschwindigkeitskontrollen und Gefahrenzonen (radar.lzw, dangerz.lzw).</translation>
    </message>
    <message>
        <source>Built with Qt %1, running on Qt %2.</source>
        <translation>Erstellt mit Qt %1, läuft mit Qt %2.</translation>
    </message>
    <message>
        <source>Licence: MIT License. Copyright (c) 2026 The Kestrolan developers. Free to use, copy, change and pass on, with this notice; given as it is, without warranty of any kind.</source>
        <translation>Lizenz: MIT-Lizenz. Copyright (c) 2026 The Kestrolan developers. Frei zu nutzen, zu kopieren, zu ändern und weiterzugeben, mit diesem Hinweis; bereitgestellt wie besehen, ohne jede Gewährleistung.</translation>
    </message>
    <message>
        <source>About Kestrolan</source>
        <translation>Über Kestrolan</translation>
    </message>
    <message>
        <source>Filter Language</source>
        <translation>Filtersprache</translation>
    </message>
    <message>
        <source>Commands</source>
        <translation>Befehle</translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
</context>
<context>
    <name>Kestrolan</name>
    <message>
        <source>All files</source>
        <translation>Alle Dateien</translation>
    </message>
    <message>
        <source>%1 - %2 - %3 - by Tolvenqar</source>
        <translation>%1 - %2 - %3 - von Tolvenqar</translation>
    </message>
    <message>
        <source>Radar file</source>
        <translation>Radar-Datei</translation>
    </message>
    <message>
        <source>CSV file</source>
        <translation>CSV-Datei</translation>
    </message>
    <message>
        <source>No database loaded.
Open one with Load LZW (Ctrl+O), or drop a radar.lzw or dangerz.lzw file here.</source>
        <translation>Keine Datenbank geladen.
Öffnen Sie eine mit „LZW laden“ (Strg+O) oder ziehen Sie eine Datei radar.lzw oder dangerz.lzw hierher.</translation>
    </message>
    <message>
        <source>Loaded database</source>
        <translation>Geladene Datenbank</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>Clear filter</source>
        <translation>Filter leeren</translation>
    </message>
    <message>
        <source>Clear filter (Esc)</source>
        <translation>Filter leeren (Esc)</translation>
    </message>
    <message>
        <source>Records</source>
        <translation>Datensätze</translation>
    </message>
    <message>
        <source>Open Radar file</source>
        <translation>Radar-Datei öffnen</translation>
    </message>
    <message>
        <source>Loading %1</source>
        <translation>%1 wird geladen</translation>
    </message>
    <message>
        <source>Save as</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Fertig.</translation>
    </message>
    <message>
        <source>%1 written to %2</source>
        <translation>%1 nach %2 geschrieben</translation>
    </message>
    <message>
        <source>Compare with</source>
        <translation>Vergleichen mit</translation>
    </message>
    <message>
        <source>Comparing with %1</source>
        <translation>Vergleich mit %1</translation>
    </message>
    <message>
        <source>It is a database the window shows; choose another name.</source>
        <translation>Die Datei ist eine Datenbank, die das Fenster zeigt; bitte einen anderen Namen wählen.</translation>
    </message>
    <message>
        <source>Not changed: %1</source>
        <translation>Nicht geändert: %1</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>&amp;Rückgängig: %1</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>&amp;Wiederholen: %1</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>No record equals an earlier one.</source>
        <translation>Kein Datensatz gleicht einem früheren.</translation>
    </message>
    <message>
        <source>Removed %1 exact duplicates; Undo brings them back.</source>
        <translation>%1 exakte Duplikate entfernt; Rückgängig holt sie zurück.</translation>
    </message>
    <message>
        <source>Save changes to %1?</source>
        <translation>Änderungen an %1 speichern?</translation>
    </message>
    <message>
        <source>%1 has changed on disk since it was loaded. Overwrite it?</source>
        <translation>%1 wurde seit dem Laden auf dem Datenträger geändert. Überschreiben?</translation>
    </message>
    <message>
        <source>Save database as</source>
        <translation>Datenbank speichern unter</translation>
    </message>
    <message>
        <source>%1 no longer holds the records the table was loaded from, so the bits the table does not show (unused bits, raw directions, bytes after a text&apos;s end) cannot be kept. Write the records as the table shows them?</source>
        <translation>%1 enthält nicht mehr die Datensätze, aus denen die Tabelle geladen wurde, daher lassen sich die Bits, die die Tabelle nicht zeigt (ungenutzte Bits, rohe Richtungen, Bytes nach dem Ende eines Textes), nicht erhalten. Die Datensätze so schreiben, wie die Tabelle sie zeigt?</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 gespeichert</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Ungespeicherte Änderungen</translation>
    </message>
    <message>
        <source>Checking %1</source>
        <translation>Prüfe %1</translation>
    </message>
    <message>
        <source>%1 records read; %2 duplicates and %3 near-duplicates dropped; %4 added</source>
        <translation>%1 Datensätze gelesen; %2 Duplikate und %3 Beinahe-Duplikate verworfen; %4 hinzugefügt</translation>
    </message>
    <message>
        <source>%1 records read; %2 duplicates dropped; %3 added</source>
        <translation>%1 Datensätze gelesen; %2 Duplikate verworfen; %3 hinzugefügt</translation>
    </message>
    <message>
        <source>Add records from</source>
        <translation>Datensätze hinzufügen aus</translation>
    </message>
    <message>
        <source>Which records of %1 should be left out?</source>
        <translation>Welche Datensätze aus %1 sollen weggelassen werden?</translation>
    </message>
    <message>
        <source>Keep all</source>
        <translation>Alle behalten</translation>
    </message>
    <message>
        <source>Drop duplicates</source>
        <translation>Duplikate verwerfen</translation>
    </message>
    <message>
        <source>Drop near-duplicates (within %1)</source>
        <translation>Beinahe-Duplikate verwerfen (innerhalb von %1)</translation>
    </message>
    <message numerus="yes">
        <source>Add %n record(s)</source>
        <translation>
            <numerusform>%n Datensatz hinzufügen</numerusform>
            <numerusform>%n Datensätze hinzufügen</numerusform>
        </translation>
    </message>
    <message>
        <source>Apply changes from</source>
        <translation>Änderungen anwenden aus</translation>
    </message>
    <message>
        <source>Apply changes from %1</source>
        <translation>Änderungen aus %1 anwenden</translation>
    </message>
    <message>
        <source>Changes applied: %1 records taken out, %2 put in</source>
        <translation>Änderungen angewendet: %1 Datensätze herausgenommen, %2 eingefügt</translation>
    </message>
</context>
<context>
    <name>KestrolanLayout</name>
    <message>
        <source>Load LZW</source>
        <translation>LZW laden</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>CSV-Export</translation>
    </message>
    <message>
        <source>Filter (Ctrl+F)</source>
        <translation>Filter (Strg+F)</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>LoadFeedback</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>%1 of %2 MB · %3 records</source>
        <translation>%1 von %2 MB · %3 Datensätze</translation>
    </message>
</context>
<context>
    <name>MapWindow</name>
    <message>
        <source>1 px = %1 units</source>
        <translation>1 px = %1 Einheiten</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>unverändert</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>geändert</translation>
    </message>
    <message>
        <source>moved</source>
        <translation>verschoben</translation>
    </message>
    <message>
        <source>moved+changed</source>
        <translation>verschoben+geändert</translation>
    </message>
    <message>
        <source>added</source>
        <translation>hinzugekommen</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>entfernt</translation>
    </message>
    <message>
        <source>Map</source>
        <translation>Karte</translation>
    </message>
    <message>
        <source>Map of the rows shown</source>
        <translation>Karte der angezeigten Zeilen</translation>
    </message>
    <message>
        <source>sc (category)</source>
        <translation>sc (Kategorie)</translation>
    </message>
    <message>
        <source>spd (speed)</source>
        <translation>spd (Geschwindigkeit)</translation>
    </message>
    <message>
        <source>Colour by</source>
        <translation>Färben nach</translation>
    </message>
    <message>
        <source>Legend</source>
        <translation>Legende</translation>
    </message>
    <message>
        <source>Colour by:</source>
        <translation>Färben nach:</translation>
    </message>
    <message>
        <source>PNG image</source>
        <translation>PNG-Bild</translation>
    </message>
    <message>
        <source>All files</source>
        <translation>Alle Dateien</translation>
    </message>
    <message>
        <source>CoordX %1  CoordY %2</source>
        <translation>CoordX %1  CoordY %2</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Änderung</translation>
    </message>
    <message>
        <source>Points</source>
        <translation>Punkte</translation>
    </message>
    <message>
        <source>Save map as</source>
        <translation>Karte speichern unter</translation>
    </message>
    <message>
        <source>Dot sizes and directions</source>
        <translation>Punktgrößen und Richtungen</translation>
    </message>
    <message>
        <source>Records a dot</source>
        <translation>Datensätze je Punkt</translation>
    </message>
    <message>
        <source>dir 0 = up, clockwise</source>
        <translation>dir 0 = oben, im Uhrzeigersinn</translation>
    </message>
    <message>
        <source>Once a grid square is 25 pixels wide, each record draws a tick in its direction: dir 0 points up (CoordY growing) and angles grow clockwise. The database does not say where its 0 points; this is the drawing&apos;s convention.</source>
        <translation>Sobald ein Rasterquadrat 25 Pixel breit ist, zeichnet jeder Datensatz einen Strich in seine Richtung: dir 0 zeigt nach oben (CoordY wächst), und die Winkel wachsen im Uhrzeigersinn. Die Datenbank sagt nicht, wohin ihre 0 zeigt; dies ist die Konvention der Zeichnung.</translation>
    </message>
    <message>
        <source>sc %1</source>
        <translation>sc %1</translation>
    </message>
    <message>
        <source>dir %1</source>
        <translation>dir %1</translation>
    </message>
    <message>
        <source>Records Within %1 of Here</source>
        <translation>Datensätze im Umkreis von %1 um diesen Punkt</translation>
    </message>
</context>
<context>
    <name>RecentFiles</name>
    <message>
        <source>No databases yet</source>
        <translation>Noch keine Datenbanken</translation>
    </message>
</context>
<context>
    <name>RecordEditor</name>
    <message>
        <source>Edit %1</source>
        <translation>%1 bearbeiten</translation>
    </message>
    <message numerus="yes">
        <source>Delete %n row(s)</source>
        <translation>
            <numerusform>%n Zeile löschen</numerusform>
            <numerusform>%n Zeilen löschen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Remove %n exact duplicate(s)</source>
        <translation>
            <numerusform>%n exaktes Duplikat entfernen</numerusform>
            <numerusform>%n exakte Duplikate entfernen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Insert %n row(s)</source>
        <translation>
            <numerusform>%n Zeile einfügen</numerusform>
            <numerusform>%n Zeilen einfügen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RecordTableModel</name>
    <message>
        <source>was %1</source>
        <translation>vorher %1</translation>
    </message>
    <message>
        <source>duplicate of #%1</source>
        <translation>Duplikat von #%1</translation>
    </message>
    <message>
        <source>conflicts with #%1</source>
        <translation>widerspricht #%1</translation>
    </message>
    <message>
        <source>near-duplicate of #%1</source>
        <translation>Beinahe-Duplikat von #%1</translation>
    </message>
    <message>
        <source>%1 fills its whole field, with no ending zero</source>
        <translation>%1 füllt sein ganzes Feld, ohne abschließende Null</translation>
    </message>
    <message>
        <source>%1 holds a control character</source>
        <translation>%1 enthält ein Steuerzeichen</translation>
    </message>
    <message>
        <source>unused bits set</source>
        <translation>ungenutzte Bits gesetzt</translation>
    </message>
</context>
<context>
    <name>Update</name>
    <message>
        <source>read : %1</source>
        <translation>Wird gelesen: %1</translation>
    </message>
    <message>
        <source>the release signature does not match</source>
        <translation>die Signatur des Updates stimmt nicht überein</translation>
    </message>
    <message>
        <source>the release signature is malformed</source>
        <translation>die Signatur des Updates ist fehlerhaft</translation>
    </message>
    <message>
        <source>Error creating file : %1</source>
        <translation>Fehler beim Anlegen der Datei: %1</translation>
    </message>
    <message>
        <source>the release signature could not be fetched</source>
        <translation>die Signatur des Updates konnte nicht abgerufen werden</translation>
    </message>
    <message>
        <source>Download of %1 failed</source>
        <translation>Herunterladen von %1 fehlgeschlagen</translation>
    </message>
    <message>
        <source>Check for program updates ?</source>
        <translation>Nach Programm-Updates suchen?</translation>
    </message>
    <message>
        <source>No update found</source>
        <translation>Kein Update gefunden</translation>
    </message>
    <message>
        <source>Your program is up to date</source>
        <translation>Ihr Programm ist auf dem neuesten Stand</translation>
    </message>
    <message>
        <source>New version present. Would you download the new file:%1  Version:%2  Date:%3 ?</source>
        <translation>Neue Version vorhanden. Möchten Sie die neue Datei herunterladen: %1  Version: %2  Datum: %3?</translation>
    </message>
</context>
<context>
    <name>WindowActions</name>
    <message>
        <source>&amp;Load LZW…</source>
        <translation>LZW &amp;laden…</translation>
    </message>
    <message>
        <source>Open a radar database</source>
        <translation>Eine Radar-Datenbank öffnen</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>&amp;Clear list</source>
        <translation>Liste &amp;leeren</translation>
    </message>
    <message>
        <source>Forget the databases opened</source>
        <translation>Die geöffneten Datenbanken vergessen</translation>
    </message>
    <message>
        <source>&amp;Compare with…</source>
        <translation>&amp;Vergleichen mit…</translation>
    </message>
    <message>
        <source>Compare the database with an earlier release</source>
        <translation>Die Datenbank mit einer früheren Ausgabe vergleichen</translation>
    </message>
    <message>
        <source>&amp;Export CSV…</source>
        <translation>CSV &amp;exportieren…</translation>
    </message>
    <message>
        <source>Write the rows shown as a CSV file</source>
        <translation>Die angezeigten Zeilen als CSV-Datei schreiben</translation>
    </message>
    <message>
        <source>Save &amp;Map as PNG…</source>
        <translation>&amp;Karte als PNG speichern…</translation>
    </message>
    <message>
        <source>Write the map on show as a picture</source>
        <translation>Die angezeigte Karte als Bild schreiben</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Leave the program</source>
        <translation>Das Programm verlassen</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Copy the selected rows</source>
        <translation>Die ausgewählten Zeilen kopieren</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Alles auswählen</translation>
    </message>
    <message>
        <source>Select every row shown</source>
        <translation>Alle angezeigten Zeilen auswählen</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>Type a filter</source>
        <translation>Einen Filter eingeben</translation>
    </message>
    <message>
        <source>&amp;Map</source>
        <translation>&amp;Karte</translation>
    </message>
    <message>
        <source>Show the rows on a map</source>
        <translation>Die Zeilen auf einer Karte zeigen</translation>
    </message>
    <message>
        <source>&amp;Columns</source>
        <translation>&amp;Spalten</translation>
    </message>
    <message>
        <source>&amp;Reset Columns</source>
        <translation>Spalten &amp;zurücksetzen</translation>
    </message>
    <message>
        <source>Show every column in its first order and width</source>
        <translation>Alle Spalten in ihrer ursprünglichen Reihenfolge und Breite zeigen</translation>
    </message>
    <message>
        <source>&amp;Filter Language</source>
        <translation>&amp;Filtersprache</translation>
    </message>
    <message>
        <source>Explain the filter field</source>
        <translation>Das Filterfeld erklären</translation>
    </message>
    <message>
        <source>&amp;Keyboard Shortcuts</source>
        <translation>&amp;Tastenkürzel</translation>
    </message>
    <message>
        <source>List the keys</source>
        <translation>Die Tasten auflisten</translation>
    </message>
    <message>
        <source>&amp;About Kestrolan</source>
        <translation>Ü&amp;ber Kestrolan</translation>
    </message>
    <message>
        <source>Name, version and licence</source>
        <translation>Name, Version und Lizenz</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Zoom to Selection</source>
        <translation>Auf Auswahl &amp;zoomen</translation>
    </message>
    <message>
        <source>Fit the selected rows into the map</source>
        <translation>Die ausgewählten Zeilen in die Karte einpassen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Write the edited database back</source>
        <translation>Die bearbeitete Datenbank zurückschreiben</translation>
    </message>
    <message>
        <source>Save &amp;As…</source>
        <translation>Speichern &amp;unter…</translation>
    </message>
    <message>
        <source>Write the database to a new file</source>
        <translation>Die Datenbank in eine neue Datei schreiben</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Take back the last change</source>
        <translation>Die letzte Änderung zurücknehmen</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Make the change taken back again</source>
        <translation>Die zurückgenommene Änderung wiederholen</translation>
    </message>
    <message>
        <source>&amp;Delete Rows</source>
        <translation>Zeilen &amp;löschen</translation>
    </message>
    <message>
        <source>Remove the selected records</source>
        <translation>Die ausgewählten Datensätze entfernen</translation>
    </message>
    <message>
        <source>&amp;Insert Row</source>
        <translation>Zeile &amp;einfügen</translation>
    </message>
    <message>
        <source>Add a copy of each selected record after it</source>
        <translation>Hinter jedem ausgewählten Datensatz eine Kopie einfügen</translation>
    </message>
    <message>
        <source>Remove Exact &amp;Duplicates</source>
        <translation>Exakte &amp;Duplikate entfernen</translation>
    </message>
    <message>
        <source>Remove every record equal to an earlier one, keeping the first</source>
        <translation>Jeden Datensatz entfernen, der einem früheren gleicht; der erste bleibt</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Werkzeuge</translation>
    </message>
    <message>
        <source>&amp;Check Database</source>
        <translation>Datenbank &amp;prüfen</translation>
    </message>
    <message>
        <source>Look for duplicates, conflicts, near-duplicates and damaged texts; again to hide the findings</source>
        <translation>Nach Duplikaten, Widersprüchen, Beinahe-Duplikaten und beschädigten Texten suchen; erneut gewählt blendet es die Befunde aus</translation>
    </message>
    <message>
        <source>Add Records &amp;From…</source>
        <translation>Datensätze &amp;hinzufügen aus…</translation>
    </message>
    <message>
        <source>Append another database&apos;s records to the table</source>
        <translation>Die Datensätze einer anderen Datenbank an die Tabelle anhängen</translation>
    </message>
    <message>
        <source>Apply C&amp;hanges From…</source>
        <translation>Änderungen &amp;anwenden aus…</translation>
    </message>
    <message>
        <source>Apply a change list that kestrolan-db diff wrote</source>
        <translation>Eine Änderungsliste anwenden, die kestrolan-db diff geschrieben hat</translation>
    </message>
</context>
<context>
    <name>WindowStatus</name>
    <message>
        <source>%1 record</source>
        <translation>%1 Datensatz</translation>
    </message>
    <message>
        <source>%1 records</source>
        <translation>%1 Datensätze</translation>
    </message>
    <message>
        <source>%1 of %2 record</source>
        <translation>%1 von %2 Datensatz</translation>
    </message>
    <message>
        <source>%1 of %2 records</source>
        <translation>%1 von %2 Datensätzen</translation>
    </message>
    <message>
        <source>%1 added, %2 removed, %3 moved, %4 changed</source>
        <translation>%1 hinzugekommen, %2 entfernt, %3 verschoben, %4 geändert</translation>
    </message>
    <message>
        <source>%1 duplicate, %2 conflict, %3 near-duplicate, %4 cut-text, %5 control-character</source>
        <translation>%1 Duplikat, %2 Widerspruch, %3 Beinahe-Duplikat, %4 abgeschnittener Text, %5 Steuerzeichen</translation>
    </message>
    <message>
        <source>The findings of Tools → Check Database. Unused bits are not looked for: the table does not hold them.</source>
        <translation>Die Befunde von Werkzeuge → Datenbank prüfen. Nach ungenutzten Bits wird nicht gesucht: Die Tabelle enthält sie nicht.</translation>
    </message>
</context>
</TS>
