<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutBox</name>
    <message>
        <source>Trovix finds and keeps your records. © 2026 The Trovix developers, under the MIT License.    Version: %1.%2.%3</source>
        <translation>Trovix findet und verwahrt Ihre Datensätze. © 2026 Die Trovix-Entwickler, unter der MIT-Lizenz.    Version: %1.%2.%3</translation>
    </message>
</context>
<context>
    <name>AboutWindow</name>
    <message>
        <source>Find any record as you type</source>
        <translation>Jeden Datensatz schon beim Tippen finden</translation>
    </message>
    <message>
        <source>About Trovix</source>
        <translation>Über Trovix</translation>
    </message>
</context>
<context>
    <name>ChangeNoticeBar</name>
    <message>
        <source>File changed on disk</source>
        <translation>Datei auf dem Datenträger geändert</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Changed file</source>
        <translation>Geänderte Datei</translation>
    </message>
    <message>
        <source>&amp;Merge</source>
        <translation>&amp;Zusammenführen</translation>
    </message>
    <message>
        <source>Merge the file&apos;s records with your changes; nothing is written until you save</source>
        <translation>Die Datensätze der Datei mit Ihren Änderungen zusammenführen; geschrieben wird erst beim Speichern</translation>
    </message>
    <message>
        <source>Re&amp;load</source>
        <translation>&amp;Neu laden</translation>
    </message>
    <message>
        <source>Read the file again; your unsaved changes to it are dropped</source>
        <translation>Die Datei erneut lesen; Ihre ungespeicherten Änderungen daran werden verworfen</translation>
    </message>
    <message>
        <source>&amp;Keep Mine</source>
        <translation>&amp;Meine behalten</translation>
    </message>
    <message>
        <source>Keep your changes; saving asks before it replaces the file</source>
        <translation>Ihre Änderungen behalten; vor dem Ersetzen der Datei fragt das Speichern nach</translation>
    </message>
    <message>
        <source>&amp;Ignore</source>
        <translation>&amp;Ignorieren</translation>
    </message>
    <message>
        <source>Leave the conflict copy as it is and do not offer it again</source>
        <translation>Die Konfliktkopie so lassen, wie sie ist, und nicht wieder anbieten</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Qt: the platform plugin (xcb, wayland, offscreen, ...).</source>
        <translation>Qt: das Plattform-Plugin (xcb, wayland, offscreen, ...).</translation>
    </message>
    <message>
        <source>path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <source>Qt: where the platform plugins are.</source>
        <translation>Qt: der Ort der Plattform-Plugins.</translation>
    </message>
    <message>
        <source>Qt: the platform theme.</source>
        <translation>Qt: das Plattform-Thema.</translation>
    </message>
    <message>
        <source>plugin</source>
        <translation>Plugin</translation>
    </message>
    <message>
        <source>Qt: loads an input plugin.</source>
        <translation>Qt: lädt ein Eingabe-Plugin.</translation>
    </message>
    <message>
        <source>geometry</source>
        <translation>Geometrie</translation>
    </message>
    <message>
        <source>Qt: the window&apos;s place and size, as WxH+X+Y.</source>
        <translation>Qt: Position und Größe des Fensters, als WxH+X+Y.</translation>
    </message>
    <message>
        <source>icon</source>
        <translation>Symbol</translation>
    </message>
    <message>
        <source>Qt: the window&apos;s icon.</source>
        <translation>Qt: das Symbol des Fensters.</translation>
    </message>
    <message>
        <source>title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Qt: the window&apos;s title.</source>
        <translation>Qt: der Titel des Fensters.</translation>
    </message>
    <message>
        <source>session</source>
        <translation>Sitzung</translation>
    </message>
    <message>
        <source>Qt: the session to restore.</source>
        <translation>Qt: die wiederherzustellende Sitzung.</translation>
    </message>
    <message>
        <source>style</source>
        <translation>Stil</translation>
    </message>
    <message>
        <source>Qt: the widget style (Fusion, ...).</source>
        <translation>Qt: der Widget-Stil (Fusion, ...).</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Qt: a style sheet.</source>
        <translation>Qt: ein Stylesheet.</translation>
    </message>
    <message>
        <source>options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Qt: the QML debugger&apos;s options.</source>
        <translation>Qt: die Optionen des QML-Debuggers.</translation>
    </message>
    <message>
        <source>Qt: lays the window out from right to left.</source>
        <translation>Qt: ordnet das Fenster von rechts nach links an.</translation>
    </message>
    <message>
        <source>Qt: loads the testability plugin.</source>
        <translation>Qt: lädt das Testability-Plugin.</translation>
    </message>
    <message>
        <source>Qt: counts the widgets left at the end.</source>
        <translation>Qt: zählt die am Ende übrigen Widgets.</translation>
    </message>
    <message>
        <source>display</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>Qt on X11: the X server&apos;s display.</source>
        <translation>Qt unter X11: das Display des X-Servers.</translation>
    </message>
    <message>
        <source>Qt on X11: as -qwindowgeometry.</source>
        <translation>Qt unter X11: wie -qwindowgeometry.</translation>
    </message>
    <message>
        <source>Qt on X11: as -qwindowtitle.</source>
        <translation>Qt unter X11: wie -qwindowtitle.</translation>
    </message>
    <message>
        <source>Qt on X11: as -qwindowicon.</source>
        <translation>Qt unter X11: wie -qwindowicon.</translation>
    </message>
    <message>
        <source>Qt on X11: the program&apos;s resource name.</source>
        <translation>Qt unter X11: der Ressourcenname des Programms.</translation>
    </message>
    <message>
        <source>visual</source>
        <translation>Visual</translation>
    </message>
    <message>
        <source>Qt on X11: the visual.</source>
        <translation>Qt unter X11: das Visual.</translation>
    </message>
    <message>
        <source>Qt on X11: never grabs the mouse or the keyboard.</source>
        <translation>Qt unter X11: belegt Maus und Tastatur nie exklusiv.</translation>
    </message>
    <message>
        <source>Qt on X11: grabs them even under a debugger.</source>
        <translation>Qt unter X11: belegt sie auch unter einem Debugger exklusiv.</translation>
    </message>
    <message>
        <source>Shows this help.</source>
        <translation>Zeigt diese Hilfe.</translation>
    </message>
    <message>
        <source>Shows this help with Qt&apos;s options.</source>
        <translation>Zeigt diese Hilfe mit den Optionen von Qt.</translation>
    </message>
    <message>
        <source>Shows the version.</source>
        <translation>Zeigt die Version.</translation>
    </message>
    <message>
        <source>Prints, without a window, every record of the files given (- is the standard input; with none, the standard input when it is a pipe or a file, else the three data files of the settings) that holds all the words, letter case ignored. Each record is printed as its file holds it, every line; its further lines begin with -----. With more than one file, each line begins with the file&apos;s name and a colon. Exit code 0: found, 1: nothing found, 2: an error.</source>
        <translation>Gibt ohne Fenster jeden Datensatz der angegebenen Dateien aus (- ist die Standardeingabe; ohne Angabe die Standardeingabe, wenn sie eine Pipe oder Datei ist, sonst die drei Datendateien der Einstellungen), der alle Wörter enthält, ohne Beachtung der Groß-/Kleinschreibung. Jeder Datensatz wird so ausgegeben, wie seine Datei ihn enthält, jede Zeile; seine weiteren Zeilen beginnen mit -----. Bei mehr als einer Datei beginnt jede Zeile mit dem Namen der Datei und einem Doppelpunkt. Rückgabewert 0: gefunden, 1: nichts gefunden, 2: ein Fehler.</translation>
    </message>
    <message>
        <source>words</source>
        <translation>Wörter</translation>
    </message>
    <message>
        <source>With --find: letter case must match.</source>
        <translation>Mit --find: Groß-/Kleinschreibung muss übereinstimmen.</translation>
    </message>
    <message>
        <source>With --find: prints the number of records found per file.</source>
        <translation>Mit --find: gibt die Anzahl der gefundenen Datensätze je Datei aus.</translation>
    </message>
    <message>
        <source>With --find: prints only the names of the files in which a record was found.</source>
        <translation>Mit --find: gibt nur die Namen der Dateien aus, in denen ein Datensatz gefunden wurde.</translation>
    </message>
    <message>
        <source>With --find: begins each line printed with its number in the file.</source>
        <translation>Mit --find: beginnt jede ausgegebene Zeile mit ihrer Nummer in der Datei.</translation>
    </message>
    <message>
        <source>With --find: marks the words found in colour: auto (when the output is a terminal and NO_COLOR is not set), always or never.</source>
        <translation>Mit --find: hebt die gefundenen Wörter farbig hervor: auto (wenn die Ausgabe ein Terminal ist und NO_COLOR nicht gesetzt ist), always oder never.</translation>
    </message>
    <message>
        <source>when</source>
        <translation>wann</translation>
    </message>
    <message>
        <source>Start with the default settings.</source>
        <translation>Mit den Standardeinstellungen starten.</translation>
    </message>
    <message>
        <source>files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>Three data file names, relative to the folder above, to open and remember.</source>
        <translation>Drei Namen von Datendateien, relativ zum obigen Ordner, die geöffnet und gemerkt werden.</translation>
    </message>
    <message>
        <source>&apos;--%1&apos; goes with &apos;--find&apos;.</source>
        <translation>&apos;--%1&apos; gehört zu &apos;--find&apos;.</translation>
    </message>
    <message>
        <source>&apos;--find&apos; needs the words to find first: %1 --find &quot;words&quot; [--count] [file...]</source>
        <translation>&apos;--find&apos; braucht zuerst die zu suchenden Wörter: %1 --find &quot;Wörter&quot; [--count] [Datei...]</translation>
    </message>
    <message>
        <source>&apos;--find&apos; is given more than once.</source>
        <translation>&apos;--find&apos; ist mehrfach angegeben.</translation>
    </message>
    <message>
        <source>&apos;--find&apos; needs a word to find.</source>
        <translation>&apos;--find&apos; braucht ein Wort zum Suchen.</translation>
    </message>
    <message>
        <source>&apos;--count&apos; and &apos;--files-with-matches&apos; exclude each other.</source>
        <translation>&apos;--count&apos; und &apos;--files-with-matches&apos; schließen einander aus.</translation>
    </message>
    <message>
        <source>&apos;--color&apos; is auto, always or never.</source>
        <translation>&apos;--color&apos; ist auto, always oder never.</translation>
    </message>
    <message>
        <source>Trovix finds and keeps free-form text records in three data files.

Data files, their .old backups and the update program&apos;s files are kept in
  %1
(the per-user data folder: the program is installed, or its own folder is read only).

To search from the command line:
  %2 --find &quot;words&quot; [--case] [--count] [--files-with-matches] [-n] [--color=when] [file...]</source>
        <translation>Trovix findet und verwahrt frei formulierte Textdatensätze in drei Datendateien.

Datendateien, ihre .old-Sicherungen und die Dateien des Aktualisierungsprogramms liegen in
  %1
(dem Datenordner des Benutzers: Das Programm ist installiert, oder sein eigener Ordner ist schreibgeschützt).

Suchen über die Befehlszeile:
  %2 --find &quot;Wörter&quot; [--case] [--count] [--files-with-matches] [-n] [--color=wann] [Datei...]</translation>
    </message>
    <message>
        <source>Trovix finds and keeps free-form text records in three data files.

Data files, their .old backups and the update program&apos;s files are kept in
  %1
(the program&apos;s own folder).

To search from the command line:
  %2 --find &quot;words&quot; [--case] [--count] [--files-with-matches] [-n] [--color=when] [file...]</source>
        <translation>Trovix findet und verwahrt frei formulierte Textdatensätze in drei Datendateien.

Datendateien, ihre .old-Sicherungen und die Dateien des Aktualisierungsprogramms liegen in
  %1
(dem eigenen Ordner des Programms).

Suchen über die Befehlszeile:
  %2 --find &quot;Wörter&quot; [--case] [--count] [--files-with-matches] [-n] [--color=wann] [Datei...]</translation>
    </message>
</context>
<context>
    <name>CommandLineFind</name>
    <message>
        <source>Is a folder</source>
        <translation>Ist ein Ordner</translation>
    </message>
    <message>
        <source>%1: there are no data files yet in %2: name the files to search (%1 --find &quot;words&quot; file...), or start %1 once to make them.
</source>
        <translation>%1: In %2 gibt es noch keine Datendateien: Geben Sie die zu durchsuchenden Dateien an (%1 --find &quot;Wörter&quot; Datei...), oder starten Sie %1 einmal, um sie anzulegen.
</translation>
    </message>
    <message>
        <source>%1: the output could not be written
</source>
        <translation>%1: Die Ausgabe konnte nicht geschrieben werden
</translation>
    </message>
</context>
<context>
    <name>CommandTable</name>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>View All</source>
        <translation>Alle anzeigen</translation>
    </message>
    <message>
        <source>Print List</source>
        <translation>Liste drucken</translation>
    </message>
    <message>
        <source>Display Edit Textbox</source>
        <translation>Bearbeitungsfeld anzeigen</translation>
    </message>
    <message>
        <source>Full Data Display (Read Only)</source>
        <translation>Vollständige Datenanzeige (schreibgeschützt)</translation>
    </message>
    <message>
        <source>Change Font</source>
        <translation>Schriftart ändern</translation>
    </message>
    <message>
        <source>Copy Selection to Clipboard</source>
        <translation>Auswahl in die Zwischenablage kopieren</translation>
    </message>
    <message>
        <source>Display Results (File 1)</source>
        <translation>Ergebnisse anzeigen (Datei 1)</translation>
    </message>
    <message>
        <source>Display Results (File 2)</source>
        <translation>Ergebnisse anzeigen (Datei 2)</translation>
    </message>
    <message>
        <source>Display Results (File 3)</source>
        <translation>Ergebnisse anzeigen (Datei 3)</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Sort</source>
        <translation>Sortieren</translation>
    </message>
    <message>
        <source>Select File Name</source>
        <translation>Dateinamen auswählen</translation>
    </message>
    <message>
        <source>Save Selected File</source>
        <translation>Ausgewählte Datei speichern</translation>
    </message>
    <message>
        <source>Open File for Direct Editing</source>
        <translation>Datei zum direkten Bearbeiten öffnen</translation>
    </message>
    <message>
        <source>Reload Selected File</source>
        <translation>Ausgewählte Datei neu laden</translation>
    </message>
    <message>
        <source>Email Author</source>
        <translation>E-Mail an den Autor</translation>
    </message>
    <message>
        <source>&amp;Actions</source>
        <translation>&amp;Aktionen</translation>
    </message>
    <message>
        <source>Print &amp;Form</source>
        <translation>&amp;Formular drucken</translation>
    </message>
    <message>
        <source>Print &amp;Selection</source>
        <translation>&amp;Auswahl drucken</translation>
    </message>
    <message>
        <source>Print &amp;List</source>
        <translation>&amp;Liste drucken</translation>
    </message>
    <message>
        <source>&amp;Copy Selection to Clipboard</source>
        <translation>Auswahl in die &amp;Zwischenablage kopieren</translation>
    </message>
    <message>
        <source>Copy List to Clip&amp;Board</source>
        <translation>Liste in die Zwischenablage &amp;kopieren</translation>
    </message>
    <message>
        <source>Co&amp;mpact</source>
        <translation>&amp;Bereinigen</translation>
    </message>
    <message>
        <source>&amp;Backup</source>
        <translation>Si&amp;chern</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Re&amp;do</source>
        <translation>Wieder&amp;holen</translation>
    </message>
    <message>
        <source>Sa&amp;ve</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>&amp;Ignore Case</source>
        <translation>Groß-/Kleinschreibung &amp;ignorieren</translation>
    </message>
    <message>
        <source>&amp;AutoSave</source>
        <translation>&amp;Automatisch speichern</translation>
    </message>
    <message>
        <source>&amp;Search While &amp;Typing</source>
        <translation>Während der Eingabe &amp;suchen</translation>
    </message>
    <message>
        <source>&amp;Display File Names</source>
        <translation>&amp;Dateinamen anzeigen</translation>
    </message>
    <message>
        <source>&amp;On top</source>
        <translation>Immer im &amp;Vordergrund</translation>
    </message>
    <message>
        <source>&amp;Reload Changed Files</source>
        <translation>Geänderte Dateien &amp;neu laden</translation>
    </message>
    <message>
        <source>&amp;Highlight Matches</source>
        <translation>&amp;Treffer hervorheben</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Email Author</source>
        <translation>&amp;E-Mail an den Autor</translation>
    </message>
    <message>
        <source>&amp;WebSite</source>
        <translation>&amp;Website</translation>
    </message>
    <message>
        <source>&amp;Online Update</source>
        <translation>&amp;Online-Aktualisierung</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>&lt;disabled&gt;</source>
        <translation>&lt;deaktiviert&gt;</translation>
    </message>
    <message>
        <source>%1  %2 pt</source>
        <translation>%1  %2 pt</translation>
    </message>
    <message>
        <source>Compact</source>
        <translation>Bereinigen</translation>
    </message>
    <message>
        <source>Backed up %1 files as *.old</source>
        <extracomment>%1 is the number of data files, which is always three.</extracomment>
        <translation>%1 Dateien als *.old gesichert</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Restored %1 files from *.old</source>
        <extracomment>%1 is the number of data files, which is always three.</extracomment>
        <translation>%1 Dateien aus *.old wiederhergestellt</translation>
    </message>
</context>
<context>
    <name>Controls</name>
    <message>
        <source>Name<byte value="xd"/>
Address1<byte value="xd"/>
Address2<byte value="xd"/>
City, State<byte value="xd"/>
Zip<byte value="xd"/>
</source>
        <translation>Name<byte value="xd"/>
Adresse1<byte value="xd"/>
Adresse2<byte value="xd"/>
Ort, Bundesland<byte value="xd"/>
PLZ<byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>DataFileIo</name>
    <message>
        <source>The reading was cancelled.</source>
        <translation>Das Lesen wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The file is larger than 1 GB.</source>
        <translation>Die Datei ist größer als 1 GB.</translation>
    </message>
    <message>
        <source>There was not enough memory to read it.</source>
        <translation>Zum Lesen war nicht genug Speicher vorhanden.</translation>
    </message>
    <message>
        <source>Its records are more than Trovix can hold.</source>
        <translation>Sie enthält mehr Datensätze, als Trovix aufnehmen kann.</translation>
    </message>
</context>
<context>
    <name>DataFormat</name>
    <message>
        <source>&lt;file not found&gt;</source>
        <translation>&lt;Datei nicht gefunden&gt;</translation>
    </message>
</context>
<context>
    <name>EditHistory</name>
    <message>
        <source>Typing</source>
        <translation>Eingabe</translation>
    </message>
</context>
<context>
    <name>FileChanges</name>
    <message>
        <source>%1 was changed on disk and has been read again</source>
        <translation>%1 wurde auf dem Datenträger geändert und neu eingelesen</translation>
    </message>
    <message>
        <source>%1 could not be read again; list %2 keeps its records</source>
        <translation>%1 konnte nicht neu eingelesen werden; Liste %2 behält ihre Datensätze</translation>
    </message>
    <message>
        <source>%1 was deleted or renamed on disk; list %2 keeps its records</source>
        <translation>%1 wurde auf dem Datenträger gelöscht oder umbenannt; Liste %2 behält ihre Datensätze</translation>
    </message>
    <message>
        <source>%1 was changed on disk.</source>
        <translation>%1 wurde auf dem Datenträger geändert.</translation>
    </message>
    <message>
        <source>A conflict copy of %1 was found</source>
        <translation>Eine Konfliktkopie von %1 wurde gefunden</translation>
    </message>
</context>
<context>
    <name>FileCommands</name>
    <message>
        <source>Select Text Data File%1</source>
        <translation>Textdatei %1 auswählen</translation>
    </message>
    <message>
        <source>Text Files (*.*)</source>
        <translation>Textdateien (*.*)</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; cannot be used:
%2

Rename the file and choose it again. The list keeps its file.</source>
        <translation>Die Datei &quot;%1&quot; kann nicht verwendet werden:
%2

Benennen Sie die Datei um und wählen Sie sie erneut. Die Liste behält ihre Datei.</translation>
    </message>
    <message>
        <source>No text editor could be started for &quot;%1&quot;.

Set the desktop&apos;s application for text files, or name an editor in the VISUAL or EDITOR environment variable.</source>
        <translation>Für &quot;%1&quot; konnte kein Texteditor gestartet werden.

Legen Sie in der Arbeitsumgebung eine Anwendung für Textdateien fest, oder geben Sie einen Editor in der Umgebungsvariable VISUAL oder EDITOR an.</translation>
    </message>
</context>
<context>
    <name>FileMaintenance</name>
    <message>
        <source>&quot;%1&quot; could not be copied to &quot;%2&quot;:
%3

No file was changed.</source>
        <translation>&quot;%1&quot; konnte nicht nach &quot;%2&quot; kopiert werden:
%3

Es wurde keine Datei geändert.</translation>
    </message>
    <message>
        <source>The files could not be replaced:
%1

No file was changed.</source>
        <translation>Die Dateien konnten nicht ersetzt werden:
%1

Es wurde keine Datei geändert.</translation>
    </message>
    <message>
        <source>The files could not be replaced:
%1</source>
        <translation>Die Dateien konnten nicht ersetzt werden:
%1</translation>
    </message>
    <message>
        <source>Backup</source>
        <translation>Sicherung</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
</context>
<context>
    <name>FileMerge</name>
    <message numerus="yes">
        <source>%1: your changes and %Ln record(s) from disk merged</source>
        <translation>
            <numerusform>%1: Ihre Änderungen und %Ln Datensatz vom Datenträger zusammengeführt</numerusform>
            <numerusform>%1: Ihre Änderungen und %Ln Datensätze vom Datenträger zusammengeführt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %2 of your changes and %3 from disk merged; %Ln record(s) changed on both sides (is/are) kept twice</source>
        <translation>
            <numerusform>%1: %2 Ihrer Änderungen und %3 vom Datenträger zusammengeführt; %Ln auf beiden Seiten geänderter Datensatz wird doppelt behalten</numerusform>
            <numerusform>%1: %2 Ihrer Änderungen und %3 vom Datenträger zusammengeführt; %Ln auf beiden Seiten geänderte Datensätze werden doppelt behalten</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: %2 of your changes and %3 from disk merged</source>
        <translation>%1: %2 Ihrer Änderungen und %3 vom Datenträger zusammengeführt</translation>
    </message>
    <message>
        <source>%1 is still being written; merge it again in a moment</source>
        <translation>%1 wird noch geschrieben; führen Sie die Datei gleich noch einmal zusammen</translation>
    </message>
    <message>
        <source>%1 could not be read; list %2 keeps its records</source>
        <translation>%1 konnte nicht gelesen werden; Liste %2 behält ihre Datensätze</translation>
    </message>
    <message>
        <source>The conflict copy %1 could not be read</source>
        <translation>Die Konfliktkopie %1 konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>%1 already holds every record of its conflict copy, which was moved to the trash</source>
        <translation>%1 enthält bereits jeden Datensatz der zugehörigen Konfliktkopie, die in den Papierkorb verschoben wurde</translation>
    </message>
    <message>
        <source>%1 already holds every record of its conflict copy, which could not be moved to the trash: %2</source>
        <translation>%1 enthält bereits jeden Datensatz der zugehörigen Konfliktkopie, die nicht in den Papierkorb verschoben werden konnte: %2</translation>
    </message>
    <message numerus="yes">
        <source>%1: %Ln record(s) of the conflict copy merged; the copy goes to the trash when you save</source>
        <translation>
            <numerusform>%1: %Ln Datensatz der Konfliktkopie zusammengeführt; die Kopie kommt beim Speichern in den Papierkorb</numerusform>
            <numerusform>%1: %Ln Datensätze der Konfliktkopie zusammengeführt; die Kopie kommt beim Speichern in den Papierkorb</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FileNames</name>
    <message>
        <source>Part of the name is not valid UTF-8, so no file can be opened or saved by the name as it is shown.</source>
        <translation>Ein Teil des Namens ist kein gültiges UTF-8, daher kann unter dem angezeigten Namen keine Datei geöffnet oder gespeichert werden.</translation>
    </message>
    <message>
        <source>Its &quot;�&quot; stands for bytes of the name that are not valid UTF-8. No file of the name as it is shown exists, and saving would make one under another name.</source>
        <translation>Das &quot;�&quot; im Namen steht für Bytes, die kein gültiges UTF-8 sind. Eine Datei mit dem angezeigten Namen gibt es nicht, und beim Speichern entstünde eine Datei unter einem anderen Namen.</translation>
    </message>
</context>
<context>
    <name>HistoryStep</name>
    <message>
        <source>Sort of %1</source>
        <translation>Sortieren von %1</translation>
    </message>
    <message>
        <source>Merge of %1</source>
        <translation>Zusammenführen von %1</translation>
    </message>
    <message>
        <source>Reload of %1</source>
        <translation>Neuladen von %1</translation>
    </message>
    <message>
        <source>Recovery of %1</source>
        <translation>Wiederherstellung von %1</translation>
    </message>
    <message>
        <source>Choice of %1</source>
        <translation>Auswahl von %1</translation>
    </message>
</context>
<context>
    <name>InterruptedSaves</name>
    <message>
        <source>A save of &quot;%1&quot; was cut short: Trovix or the system stopped while the file was being written.

The file was left part old and part new, so its content from before that save has been put back and checked. The changes that save was writing are not in it.</source>
        <translation>Das Speichern von &quot;%1&quot; wurde unterbrochen: Trovix oder das System wurde beendet, während die Datei geschrieben wurde.

Die Datei war teils alt, teils neu, daher wurde ihr Inhalt von vor diesem Speichern zurückgeschrieben und geprüft. Die Änderungen, die dabei geschrieben werden sollten, sind nicht darin enthalten.</translation>
    </message>
    <message>
        <source>A save of &quot;%1&quot; was cut short: Trovix or the system stopped while the file was being written.

The file was left part old and part new, and its content from before that save could not be put back:
%2

That content is kept in &quot;%3&quot;. Trovix tries again at its next start.</source>
        <translation>Das Speichern von &quot;%1&quot; wurde unterbrochen: Trovix oder das System wurde beendet, während die Datei geschrieben wurde.

Die Datei war teils alt, teils neu, und ihr Inhalt von vor diesem Speichern konnte nicht zurückgeschrieben werden:
%2

Dieser Inhalt ist in &quot;%3&quot; aufbewahrt. Trovix versucht es beim nächsten Start erneut.</translation>
    </message>
    <message>
        <source>A restore or backup of several files was cut short: Trovix or the system stopped while the files were being replaced. So that the files stay as they were together, the content &quot;%1&quot; had before has been put back.</source>
        <translation>Eine Wiederherstellung oder Sicherung mehrerer Dateien wurde unterbrochen: Trovix oder das System wurde beendet, während die Dateien ersetzt wurden. Damit die Dateien zueinander passen, wurde der frühere Inhalt von &quot;%1&quot; zurückgeschrieben.</translation>
    </message>
    <message>
        <source>A save of &quot;%1&quot; was cut short: Trovix or the system stopped while the file was being written.

The file has been replaced or removed since, so it was left as it is. Its content from before that save is kept in &quot;%2&quot;.</source>
        <translation>Das Speichern von &quot;%1&quot; wurde unterbrochen: Trovix oder das System wurde beendet, während die Datei geschrieben wurde.

Die Datei wurde seitdem ersetzt oder entfernt und daher so belassen, wie sie ist. Ihr Inhalt von vor diesem Speichern ist in &quot;%2&quot; aufbewahrt.</translation>
    </message>
    <message>
        <source>A save of &quot;%1&quot; was cut short: Trovix or the system stopped while the file was being written.</source>
        <translation>Das Speichern von &quot;%1&quot; wurde unterbrochen: Trovix oder das System wurde beendet, während die Datei geschrieben wurde.</translation>
    </message>
    <message>
        <source>Interrupted Save</source>
        <translation>Unterbrochenes Speichern</translation>
    </message>
</context>
<context>
    <name>ListCommands</name>
    <message>
        <source>&lt;disabled&gt;</source>
        <translation>&lt;deaktiviert&gt;</translation>
    </message>
    <message>
        <source>This record is too long to edit here and is shown shortened. &quot;Open File for Direct Editing&quot; opens its file in a text editor.</source>
        <translation>Dieser Datensatz ist zu lang, um ihn hier zu bearbeiten, und wird gekürzt angezeigt. &quot;Datei zum direkten Bearbeiten öffnen&quot; öffnet seine Datei in einem Texteditor.</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>%1: %2
%3
Run &quot;%1 --help&quot; for more.
</source>
        <translation>%1: %2
%3
Weitere Informationen mit &quot;%1 --help&quot;.
</translation>
    </message>
    <message>
        <source>%1: the window cannot be shown:
  %2
A copied %1 needs its window library beside it: copy %3 into the same folder.
</source>
        <translation>%1: Das Fenster kann nicht angezeigt werden:
  %2
Ein kopiertes %1 braucht seine Fensterbibliothek daneben: Kopieren Sie %3 in denselben Ordner.
</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Commands</source>
        <translation>Befehle</translation>
    </message>
    <message>
        <source>More commands</source>
        <translation>Weitere Befehle</translation>
    </message>
    <message>
        <source>Find &amp;String</source>
        <translation>&amp;Suchbegriff</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Search text</source>
        <translation>Suchtext</translation>
    </message>
    <message>
        <source>&amp;Results</source>
        <translation>&amp;Ergebnisse</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>Ergebnisse</translation>
    </message>
    <message>
        <source>Results of file %1</source>
        <translation>Ergebnisse von Datei %1</translation>
    </message>
    <message>
        <source>Edit / Full Content</source>
        <translation>Bearbeiten / Vollständiger Inhalt</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Record text</source>
        <translation>Datensatztext</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>File %1 and its rows</source>
        <translation>Datei %1 und ihre Zeilen</translation>
    </message>
    <message>
        <source>%1, changed</source>
        <translation>%1, geändert</translation>
    </message>
    <message>
        <source>pressed</source>
        <translation>gedrückt</translation>
    </message>
    <message>
        <source>not pressed</source>
        <translation>nicht gedrückt</translation>
    </message>
    <message>
        <source>pressed, %1</source>
        <translation>gedrückt, %1</translation>
    </message>
    <message>
        <source>not pressed, %1</source>
        <translation>nicht gedrückt, %1</translation>
    </message>
    <message>
        <source>Sa&amp;ve</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Sa&amp;ve %1</source>
        <translation>%1 &amp;speichern</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>&amp;Rückgängig: %1</translation>
    </message>
    <message>
        <source>Re&amp;do</source>
        <translation>Wieder&amp;holen</translation>
    </message>
    <message>
        <source>Re&amp;do %1</source>
        <translation>Wieder&amp;holen: %1</translation>
    </message>
    <message>
        <source>row %1, record %2</source>
        <translation>Zeile %1, Datensatz %2</translation>
    </message>
</context>
<context>
    <name>MemoryLimits</name>
    <message>
        <source>the physical memory available</source>
        <translation>der verfügbare physische Speicher</translation>
    </message>
    <message>
        <source>the memory limit of this program&apos;s control group</source>
        <translation>die Speichergrenze der Kontrollgruppe (cgroup) dieses Programms</translation>
    </message>
    <message>
        <source>the address space allowed to this program (ulimit -v)</source>
        <translation>der diesem Programm erlaubte Adressraum (ulimit -v)</translation>
    </message>
    <message>
        <source>the data size allowed to this program (ulimit -d)</source>
        <translation>die diesem Programm erlaubte Datengröße (ulimit -d)</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>%1 GB</source>
        <translation>%1 GB</translation>
    </message>
</context>
<context>
    <name>OutsideLinks</name>
    <message>
        <source>Error sending email!

%1.</source>
        <translation>Fehler beim Senden der E-Mail!

%1.</translation>
    </message>
    <message>
        <source>Send Email to Author</source>
        <translation>E-Mail an den Autor senden</translation>
    </message>
    <message>
        <source>Could not locate web site!  Error: this copy of Trovix names none</source>
        <translation>Die Website wurde nicht gefunden!  Fehler: Diese Kopie von Trovix nennt keine</translation>
    </message>
    <message>
        <source>Could not locate web site!  Error: %1, so %2 could not be opened</source>
        <translation>Die Website wurde nicht gefunden!  Fehler: %1, daher konnte %2 nicht geöffnet werden</translation>
    </message>
    <message>
        <source>This copy of Trovix was installed by the system&apos;s package manager, which brings its updates. Trovix stays open.</source>
        <translation>Diese Kopie von Trovix wurde von der Paketverwaltung des Systems installiert, die auch ihre Aktualisierungen liefert. Trovix bleibt geöffnet.</translation>
    </message>
    <message>
        <source>Online Update</source>
        <translation>Online-Aktualisierung</translation>
    </message>
    <message>
        <source>Trovix will close to check for online updates!</source>
        <translation>Trovix wird geschlossen, um nach Online-Aktualisierungen zu suchen!</translation>
    </message>
    <message>
        <source>Error updating Trovix.  Close all programs and try again!</source>
        <translation>Fehler beim Aktualisieren von Trovix.  Schließen Sie alle Programme und versuchen Sie es erneut!</translation>
    </message>
</context>
<context>
    <name>PathInfo</name>
    <message>
        <source>missing</source>
        <translation>nicht vorhanden</translation>
    </message>
    <message>
        <source>a regular file</source>
        <translation>eine reguläre Datei</translation>
    </message>
    <message>
        <source>a folder</source>
        <translation>ein Ordner</translation>
    </message>
    <message>
        <source>a named pipe</source>
        <translation>eine benannte Pipe</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>ein Socket</translation>
    </message>
    <message>
        <source>a device</source>
        <translation>ein Gerät</translation>
    </message>
    <message>
        <source>a symbolic link that leads back to itself</source>
        <translation>eine symbolische Verknüpfung, die auf sich selbst zurückführt</translation>
    </message>
    <message>
        <source>a symbolic link to a file that does not exist</source>
        <translation>eine symbolische Verknüpfung auf eine nicht vorhandene Datei</translation>
    </message>
    <message>
        <source>It is missing, not a regular file.</source>
        <translation>Es ist nicht vorhanden, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>It is a folder, not a regular file.</source>
        <translation>Es ist ein Ordner, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>It is a named pipe, not a regular file.</source>
        <translation>Es ist eine benannte Pipe, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>It is a socket, not a regular file.</source>
        <translation>Es ist ein Socket, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>It is a device, not a regular file.</source>
        <translation>Es ist ein Gerät, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>It is a symbolic link that leads back to itself, not a regular file.</source>
        <translation>Es ist eine symbolische Verknüpfung, die auf sich selbst zurückführt, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>It is a symbolic link to a file that does not exist, not a regular file.</source>
        <translation>Es ist eine symbolische Verknüpfung auf eine nicht vorhandene Datei, keine reguläre Datei.</translation>
    </message>
</context>
<context>
    <name>Printing</name>
    <message>
        <source>Nothing was printed:
%1</source>
        <translation>Es wurde nichts gedruckt:
%1</translation>
    </message>
    <message numerus="yes">
        <source>Printed list will contain %Ln lines of data!<byte value="xd"/>
<byte value="xd"/>
Continue printing?</source>
        <translation>
            <numerusform>Die gedruckte Liste wird %Ln Datenzeile enthalten!<byte value="xd"/>
<byte value="xd"/>
Drucken fortsetzen?</numerusform>
            <numerusform>Die gedruckte Liste wird %Ln Datenzeilen enthalten!<byte value="xd"/>
<byte value="xd"/>
Drucken fortsetzen?</numerusform>
        </translation>
    </message>
    <message>
        <source>Print List</source>
        <translation>Liste drucken</translation>
    </message>
</context>
<context>
    <name>PrivateFolder</name>
    <message>
        <source>%1 is a symbolic link, not a folder of its own.</source>
        <translation>%1 ist eine symbolische Verknüpfung, kein eigener Ordner.</translation>
    </message>
    <message>
        <source>%1 is not a folder.</source>
        <translation>%1 ist kein Ordner.</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2</source>
        <translation>%1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>%1 belongs to another user.</source>
        <translation>%1 gehört einem anderen Benutzer.</translation>
    </message>
    <message>
        <source>%1 can be read by other users.</source>
        <translation>%1 ist für andere Benutzer lesbar.</translation>
    </message>
    <message>
        <source>The folder %1 cannot be made: %2</source>
        <translation>Der Ordner %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>The folder %1 cannot be made.</source>
        <translation>Der Ordner %1 kann nicht angelegt werden.</translation>
    </message>
</context>
<context>
    <name>QtLoadProgress</name>
    <message>
        <source>Reading %1…</source>
        <translation>%1 wird gelesen…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Reading %1</source>
        <translation>%1 wird gelesen</translation>
    </message>
</context>
<context>
    <name>QtPrinter</name>
    <message>
        <source>The printing system did not accept the job.</source>
        <translation>Das Drucksystem hat den Auftrag nicht angenommen.</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.</source>
        <translation>Der Ordner &quot;%1&quot; existiert nicht.</translation>
    </message>
    <message>
        <source>The printer &quot;%1&quot; could not be started:
%2</source>
        <translation>Der Drucker &quot;%1&quot; konnte nicht gestartet werden:
%2</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; could not be written completely, so it was removed.</source>
        <translation>Die Datei &quot;%1&quot; konnte nicht vollständig geschrieben werden und wurde daher entfernt.</translation>
    </message>
    <message>
        <source>The print job on &quot;%1&quot; could not be completed.</source>
        <translation>Der Druckauftrag auf &quot;%1&quot; konnte nicht abgeschlossen werden.</translation>
    </message>
    <message>
        <source>Printing…</source>
        <translation>Wird gedruckt…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>No printer is installed.

Save the print as a PDF file instead?</source>
        <translation>Es ist kein Drucker installiert.

Den Druck stattdessen als PDF-Datei speichern?</translation>
    </message>
    <message>
        <source>Save Print as PDF</source>
        <translation>Druck als PDF speichern</translation>
    </message>
    <message>
        <source>PDF Files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>There is no window to print.</source>
        <translation>Es gibt kein Fenster zum Drucken.</translation>
    </message>
    <message>
        <source>There was not enough memory to print it.</source>
        <translation>Zum Drucken war nicht genug Speicher vorhanden.</translation>
    </message>
    <message>
        <source>There is no window image to print.</source>
        <translation>Es gibt kein Fensterbild zum Drucken.</translation>
    </message>
</context>
<context>
    <name>QtSettingsStore</name>
    <message>
        <source>%1 is missing, not a folder.</source>
        <translation>%1 ist nicht vorhanden, kein Ordner.</translation>
    </message>
    <message>
        <source>%1 is a regular file, not a folder.</source>
        <translation>%1 ist eine reguläre Datei, kein Ordner.</translation>
    </message>
    <message>
        <source>%1 is a named pipe, not a folder.</source>
        <translation>%1 ist eine benannte Pipe, kein Ordner.</translation>
    </message>
    <message>
        <source>%1 is a socket, not a folder.</source>
        <translation>%1 ist ein Socket, kein Ordner.</translation>
    </message>
    <message>
        <source>%1 is a device, not a folder.</source>
        <translation>%1 ist ein Gerät, kein Ordner.</translation>
    </message>
    <message>
        <source>%1 is a symbolic link that leads back to itself, not a folder.</source>
        <translation>%1 ist eine symbolische Verknüpfung, die auf sich selbst zurückführt, kein Ordner.</translation>
    </message>
    <message>
        <source>%1 is a symbolic link to a file that does not exist, not a folder.</source>
        <translation>%1 ist eine symbolische Verknüpfung auf eine nicht vorhandene Datei, kein Ordner.</translation>
    </message>
    <message>
        <source>Its lock file %1 is missing, not a regular file.</source>
        <translation>Die zugehörige Sperrdatei %1 ist nicht vorhanden, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>Its lock file %1 is a folder, not a regular file.</source>
        <translation>Die zugehörige Sperrdatei %1 ist ein Ordner, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>Its lock file %1 is a named pipe, not a regular file.</source>
        <translation>Die zugehörige Sperrdatei %1 ist eine benannte Pipe, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>Its lock file %1 is a socket, not a regular file.</source>
        <translation>Die zugehörige Sperrdatei %1 ist ein Socket, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>Its lock file %1 is a device, not a regular file.</source>
        <translation>Die zugehörige Sperrdatei %1 ist ein Gerät, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>Its lock file %1 is a symbolic link that leads back to itself, not a regular file.</source>
        <translation>Die zugehörige Sperrdatei %1 ist eine symbolische Verknüpfung, die auf sich selbst zurückführt, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>Its lock file %1 is a symbolic link to a file that does not exist, not a regular file.</source>
        <translation>Die zugehörige Sperrdatei %1 ist eine symbolische Verknüpfung auf eine nicht vorhandene Datei, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>The folder %1 cannot be made: %2</source>
        <translation>Der Ordner %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>The folder %1 cannot be made.</source>
        <translation>Der Ordner %1 kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>It is a folder.</source>
        <translation>Es ist ein Ordner.</translation>
    </message>
    <message>
        <source>The settings could not be written.</source>
        <translation>Die Einstellungen konnten nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>Another program is writing it.</source>
        <translation>Ein anderes Programm schreibt gerade darin.</translation>
    </message>
</context>
<context>
    <name>QtShell</name>
    <message>
        <source>no mail program is set up for %1: links</source>
        <translation>für %1:-Links ist kein E-Mail-Programm eingerichtet</translation>
    </message>
    <message>
        <source>no web browser is set up for %1: links</source>
        <translation>für %1:-Links ist kein Webbrowser eingerichtet</translation>
    </message>
    <message>
        <source>xdg-open is not installed (package xdg-utils)</source>
        <translation>xdg-open ist nicht installiert (Paket xdg-utils)</translation>
    </message>
    <message>
        <source>the mail program set up for %1: links did not start</source>
        <translation>das für %1:-Links eingerichtete E-Mail-Programm ist nicht gestartet</translation>
    </message>
    <message>
        <source>the web browser set up for %1: links did not start</source>
        <translation>der für %1:-Links eingerichtete Webbrowser ist nicht gestartet</translation>
    </message>
</context>
<context>
    <name>RecordOperations</name>
    <message>
        <source>New Item</source>
        <translation>Neuer Eintrag</translation>
    </message>
    <message>
        <source>There was not enough memory to sort them.</source>
        <translation>Zum Sortieren war nicht genug Speicher vorhanden.</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>The records of &quot;%1&quot; were not sorted:
%2</source>
        <translation>Die Datensätze von &quot;%1&quot; wurden nicht sortiert:
%2</translation>
    </message>
</context>
<context>
    <name>RecordSplitter</name>
    <message>
        <source>As UTF-8 text it would take %1, more than Trovix can hold.</source>
        <translation>Als UTF-8-Text wären es %1, mehr als Trovix aufnehmen kann.</translation>
    </message>
</context>
<context>
    <name>RecoveryFile</name>
    <message>
        <source>it is damaged or cut short</source>
        <translation>sie ist beschädigt oder unvollständig</translation>
    </message>
</context>
<context>
    <name>RefusalText</name>
    <message>
        <source>Reading it would take at least %1 of memory, and only %2 is left (%3).</source>
        <translation>Zum Lesen wären mindestens %1 Speicher nötig, und nur %2 sind frei (%3).</translation>
    </message>
</context>
<context>
    <name>RegularFile</name>
    <message>
        <source>It does not exist.</source>
        <translation>Die Datei existiert nicht.</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>Es ist keine reguläre Datei.</translation>
    </message>
</context>
<context>
    <name>ReplacementFile</name>
    <message>
        <source>Another program changed it after Trovix read it.</source>
        <translation>Ein anderes Programm hat sie geändert, nachdem Trovix sie gelesen hat.</translation>
    </message>
    <message>
        <source>Nothing was prepared.</source>
        <translation>Es wurde nichts vorbereitet.</translation>
    </message>
    <message>
        <source>Another program changed it while Trovix saved it, and its version could not be put back in place. It is kept as %1.</source>
        <translation>Ein anderes Programm hat sie geändert, während Trovix sie gespeichert hat, und dessen Fassung konnte nicht zurückgelegt werden. Sie ist als %1 aufbewahrt.</translation>
    </message>
</context>
<context>
    <name>ReplacementSet</name>
    <message>
        <source>%1 could not be removed.</source>
        <translation>%1 konnte nicht entfernt werden.</translation>
    </message>
    <message>
        <source>The content %1 held before is no longer there.</source>
        <translation>Der frühere Inhalt von %1 ist nicht mehr vorhanden.</translation>
    </message>
    <message>
        <source>The journal of the files to replace could not be written to %1: %2</source>
        <translation>Das Protokoll der zu ersetzenden Dateien konnte nicht nach %1 geschrieben werden: %2</translation>
    </message>
    <message>
        <source>%1

The files already replaced could not all be put back:
%2
The next start of Trovix tries again.</source>
        <translation>%1

Die bereits ersetzten Dateien konnten nicht alle zurückgelegt werden:
%2
Der nächste Start von Trovix versucht es erneut.</translation>
    </message>
</context>
<context>
    <name>ResultList</name>
    <message>
        <source>no match found</source>
        <translation>kein Treffer gefunden</translation>
    </message>
</context>
<context>
    <name>SafeFile</name>
    <message>
        <source>It is a folder.</source>
        <translation>Es ist ein Ordner.</translation>
    </message>
    <message>
        <source>The file&apos;s owner could not be kept.</source>
        <translation>Der Eigentümer der Datei konnte nicht beibehalten werden.</translation>
    </message>
    <message>
        <source>It cannot be read, so its old content could not be kept while it is written.</source>
        <translation>Sie kann nicht gelesen werden, daher konnte ihr alter Inhalt beim Schreiben nicht aufbewahrt werden.</translation>
    </message>
    <message>
        <source>Nothing was prepared.</source>
        <translation>Es wurde nichts vorbereitet.</translation>
    </message>
    <message>
        <source>Another program removed it after Trovix read it.</source>
        <translation>Ein anderes Programm hat sie entfernt, nachdem Trovix sie gelesen hat.</translation>
    </message>
    <message>
        <source>Another program changed it after Trovix read it.</source>
        <translation>Ein anderes Programm hat sie geändert, nachdem Trovix sie gelesen hat.</translation>
    </message>
    <message>
        <source>Its old content could not be copied to %1 first: %2</source>
        <translation>Ihr alter Inhalt konnte nicht zuerst nach %1 kopiert werden: %2</translation>
    </message>
    <message>
        <source>Another program replaced it while Trovix saved it.</source>
        <translation>Ein anderes Programm hat sie ersetzt, während Trovix sie gespeichert hat.</translation>
    </message>
    <message>
        <source>%1

Its old content could not be put back either: %2
The file may be damaged. Its old content is kept in %3. When Trovix next starts, it puts the old content back, unless the file then holds the old or the new content whole.</source>
        <translation>%1

Auch ihr alter Inhalt konnte nicht zurückgelegt werden: %2
Die Datei ist möglicherweise beschädigt. Ihr alter Inhalt ist in %3 aufbewahrt. Beim nächsten Start legt Trovix den alten Inhalt zurück, außer die Datei enthält dann den alten oder den neuen Inhalt vollständig.</translation>
    </message>
</context>
<context>
    <name>SaveJournal</name>
    <message>
        <source>It was removed or replaced since, and its old content could not be copied out: %1</source>
        <translation>Sie wurde seitdem entfernt oder ersetzt, und ihr alter Inhalt konnte nicht herauskopiert werden: %1</translation>
    </message>
    <message>
        <source>It does not read back as its old content.</source>
        <translation>Beim Zurücklesen ergibt sie nicht ihren alten Inhalt.</translation>
    </message>
</context>
<context>
    <name>SearchCommands</name>
    <message>
        <source>&quot;%1&quot; could not be searched:
There was not enough memory.</source>
        <translation>&quot;%1&quot; konnte nicht durchsucht werden:
Es war nicht genug Speicher vorhanden.</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>The settings of Trovix could not be stored:
%1

The window&apos;s place, the options, the file names and the search history of this session are lost.</source>
        <translation>Die Einstellungen von Trovix konnten nicht gespeichert werden:
%1

Fensterposition, Optionen, Dateinamen und Suchverlauf dieser Sitzung gehen verloren.</translation>
    </message>
</context>
<context>
    <name>Shutdown</name>
    <message>
        <source>%1

Close without saving the changes to this file, or keep the window open with them?</source>
        <translation>%1

Ohne Speichern der Änderungen an dieser Datei schließen oder das Fenster mit ihnen geöffnet lassen?</translation>
    </message>
    <message>
        <source>Save Changes</source>
        <translation>Änderungen speichern</translation>
    </message>
    <message>
        <source>Close Without Saving</source>
        <translation>Ohne Speichern schließen</translation>
    </message>
    <message>
        <source>Keep the Window Open</source>
        <translation>Fenster geöffnet lassen</translation>
    </message>
    <message>
        <source>, </source>
        <extracomment>Put between the names of the changed files.</extracomment>
        <translation>, </translation>
    </message>
    <message>
        <source>Save Changes?</source>
        <translation>Änderungen speichern?</translation>
    </message>
    <message>
        <source>Changed files: %1</source>
        <translation>Geänderte Dateien: %1</translation>
    </message>
    <message>
        <source>The changes to &quot;%1&quot; were not saved: AutoSave is off.</source>
        <translation>Die Änderungen an &quot;%1&quot; wurden nicht gespeichert: Automatisch speichern ist aus.</translation>
    </message>
    <message>
        <source>The changes to &quot;%1&quot; were not saved: nobody could be asked &quot;%2&quot;</source>
        <translation>Die Änderungen an &quot;%1&quot; wurden nicht gespeichert: Niemandem konnte die Frage &quot;%2&quot; gestellt werden</translation>
    </message>
    <message>
        <source>%1 The next start offers them back.</source>
        <translation>%1 Der nächste Start bietet sie wieder an.</translation>
    </message>
    <message>
        <source>%1 They could not be kept for the next start either (%2), so they are lost.</source>
        <translation>%1 Sie konnten auch nicht für den nächsten Start aufbewahrt werden (%2) und gehen daher verloren.</translation>
    </message>
</context>
<context>
    <name>SlotProcedures</name>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>&quot;%1&quot; (a symbolic link to &quot;%2&quot;)</source>
        <translation>&quot;%1&quot; (eine symbolische Verknüpfung auf &quot;%2&quot;)</translation>
    </message>
    <message>
        <source>It is %1, not a regular file. Trovix saves only into regular files and never replaces anything else.</source>
        <translation>Es ist %1, keine reguläre Datei. Trovix speichert nur in reguläre Dateien und ersetzt nie etwas anderes.</translation>
    </message>
    <message>
        <source>It is a symbolic link to &quot;%1&quot;, which is %2, not a regular file. Trovix saves only into regular files and never replaces anything else.</source>
        <translation>Es ist eine symbolische Verknüpfung auf &quot;%1&quot;, und das Ziel ist %2, keine reguläre Datei. Trovix speichert nur in reguläre Dateien und ersetzt nie etwas anderes.</translation>
    </message>
    <message>
        <source>The data file %1 was saved from list %2 of this window after list %3 read it.</source>
        <translation>Die Datendatei %1 wurde aus Liste %2 dieses Fensters gespeichert, nachdem Liste %3 sie gelesen hat.</translation>
    </message>
    <message>
        <source>When Trovix read %1, it was %2. Another program has put a file there since.</source>
        <translation>Als Trovix %1 gelesen hat, war es %2. Seitdem hat ein anderes Programm dort eine Datei abgelegt.</translation>
    </message>
    <message>
        <source>A file %1 was made by another program after Trovix found none there.</source>
        <translation>Eine Datei %1 wurde von einem anderen Programm angelegt, nachdem Trovix dort keine gefunden hatte.</translation>
    </message>
    <message>
        <source>The data file %1 was deleted by another program after Trovix read it.</source>
        <translation>Die Datendatei %1 wurde von einem anderen Programm gelöscht, nachdem Trovix sie gelesen hat.</translation>
    </message>
    <message>
        <source>The data file %1 was changed by another program after Trovix read it.</source>
        <translation>Die Datendatei %1 wurde von einem anderen Programm geändert, nachdem Trovix sie gelesen hat.</translation>
    </message>
    <message>
        <source>%1 is saved in %2, which cannot hold &apos;%3&apos;. Save the whole file as UTF-8?</source>
        <translation>%1 ist in %2 gespeichert, womit sich &apos;%3&apos; nicht darstellen lässt. Die ganze Datei als UTF-8 speichern?</translation>
    </message>
    <message>
        <source>%1 is saved in %2, which cannot hold the character U+%3. Save the whole file as UTF-8?</source>
        <translation>%1 ist in %2 gespeichert, womit sich das Zeichen U+%3 nicht darstellen lässt. Die ganze Datei als UTF-8 speichern?</translation>
    </message>
    <message>
        <source>Save as UTF-8</source>
        <translation>Als UTF-8 speichern</translation>
    </message>
    <message>
        <source>The data file &quot;%1&quot; was not opened:
%2

List %3 keeps the records of &quot;%4&quot;.</source>
        <translation>Die Datendatei &quot;%1&quot; wurde nicht geöffnet:
%2

Liste %3 behält die Datensätze von &quot;%4&quot;.</translation>
    </message>
    <message>
        <source>The data file &quot;%1&quot; was not opened:
%2

List %3 shows &quot;%4&quot; in its place.</source>
        <translation>Die Datendatei &quot;%1&quot; wurde nicht geöffnet:
%2

Liste %3 zeigt stattdessen &quot;%4&quot;.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; changed after its records were merged, so it was left where it is.</source>
        <translation>&quot;%1&quot; hat sich nach dem Zusammenführen der Datensätze geändert und wurde daher nicht verschoben.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be moved to the trash: %2
It was left where it is.</source>
        <translation>&quot;%1&quot; konnte nicht in den Papierkorb verschoben werden: %2
Die Datei bleibt, wo sie ist.</translation>
    </message>
    <message>
        <source>%1 was saved with the records of its conflict copies, but not every copy went to the trash:

%2</source>
        <translation>%1 wurde mit den Datensätzen der zugehörigen Konfliktkopien gespeichert, aber nicht jede Kopie kam in den Papierkorb:

%2</translation>
    </message>
    <message>
        <source>The data file &quot;%1&quot; cannot be read:
%2</source>
        <translation>Die Datendatei &quot;%1&quot; kann nicht gelesen werden:
%2</translation>
    </message>
    <message>
        <source>The data file &quot;%1&quot; could not be read:
%2

Its records are not shown, and it will not be saved over until it has been read.</source>
        <translation>Die Datendatei &quot;%1&quot; konnte nicht gelesen werden:
%2

Ihre Datensätze werden nicht angezeigt, und sie wird nicht überschrieben, bevor sie gelesen wurde.</translation>
    </message>
    <message>
        <source>The data file &quot;%1&quot; cannot be read: it is %2, not a regular file.</source>
        <translation>Die Datendatei &quot;%1&quot; kann nicht gelesen werden: Sie ist %2, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>The records of &quot;%1&quot; were read, but there is not enough memory to list them all.</source>
        <translation>Die Datensätze von &quot;%1&quot; wurden gelesen, aber der Speicher reicht nicht, um sie alle aufzulisten.</translation>
    </message>
    <message>
        <source>It could not be read, so saving would overwrite its records.</source>
        <translation>Sie konnte nicht gelesen werden, daher würde Speichern ihre Datensätze überschreiben.</translation>
    </message>
    <message>
        <source>Save Anyway</source>
        <translation>Trotzdem speichern</translation>
    </message>
    <message>
        <source>%1

Saving replaces it with the records shown here.</source>
        <translation>%1

Speichern ersetzt sie durch die hier angezeigten Datensätze.</translation>
    </message>
    <message>
        <source>%1

Saving replaces it with the records shown here. Merge takes its records in with yours and saves nothing.</source>
        <translation>%1

Speichern ersetzt sie durch die hier angezeigten Datensätze. Zusammenführen übernimmt ihre Datensätze zu Ihren und speichert nichts.</translation>
    </message>
    <message>
        <source>Merge</source>
        <translation>Zusammenführen</translation>
    </message>
    <message>
        <source>The data file &quot;%1&quot; could not be saved:
%2</source>
        <translation>Die Datendatei &quot;%1&quot; konnte nicht gespeichert werden:
%2</translation>
    </message>
    <message>
        <source>%1

The file is unchanged and your changes are kept.</source>
        <translation>%1

Die Datei ist unverändert, und Ihre Änderungen bleiben erhalten.</translation>
    </message>
    <message>
        <source>%1

Your changes are kept.</source>
        <translation>%1

Ihre Änderungen bleiben erhalten.</translation>
    </message>
</context>
<context>
    <name>SplitterBar</name>
    <message>
        <source>Splitter between the results and the edit box</source>
        <translation>Trennleiste zwischen den Ergebnissen und dem Bearbeitungsfeld</translation>
    </message>
    <message>
        <source>Drag, or use the arrow keys, to share the room between the results and the edit box</source>
        <translation>Ziehen Sie, oder verwenden Sie die Pfeiltasten, um den Platz zwischen den Ergebnissen und dem Bearbeitungsfeld aufzuteilen</translation>
    </message>
    <message>
        <source>%1 twips above the window&apos;s bottom edge</source>
        <translation>%1 Twips über dem unteren Fensterrand</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>Registry settings were deleted for Trovix.</source>
        <translation>Die Registry-Einstellungen von Trovix wurden gelöscht.</translation>
    </message>
    <message>
        <source>The settings of Trovix could not be deleted:
%1</source>
        <translation>Die Einstellungen von Trovix konnten nicht gelöscht werden:
%1</translation>
    </message>
    <message>
        <source>The file name &quot;%1&quot; on the command line cannot be used:
%2

None of the three names was used. Rename the file and start Trovix again with its new name.</source>
        <translation>Der Dateiname &quot;%1&quot; auf der Befehlszeile kann nicht verwendet werden:
%2

Keiner der drei Namen wurde übernommen. Benennen Sie die Datei um und starten Sie Trovix erneut mit dem neuen Namen.</translation>
    </message>
</context>
<context>
    <name>SystemDisk</name>
    <message>
        <source>the desktop has no trash for it</source>
        <translation>die Arbeitsumgebung hat dafür keinen Papierkorb</translation>
    </message>
</context>
<context>
    <name>UnsavedEdits</name>
    <message>
        <source>Trovix was not closed properly. %1 has changes from %2 that were never saved. %1 has been deleted or moved away since then. Recover them?</source>
        <translation>Trovix wurde nicht ordnungsgemäß beendet. %1 hat nie gespeicherte Änderungen vom %2. %1 wurde seitdem gelöscht oder verschoben. Wiederherstellen?</translation>
    </message>
    <message>
        <source>Trovix was not closed properly. %1 has changes from %2 that were never saved. %1 has been changed on disk since then. Recover them?</source>
        <translation>Trovix wurde nicht ordnungsgemäß beendet. %1 hat nie gespeicherte Änderungen vom %2. %1 wurde seitdem auf dem Datenträger geändert. Wiederherstellen?</translation>
    </message>
    <message>
        <source>Trovix was not closed properly. %1 has changes from %2 that were never saved. Recover them?</source>
        <translation>Trovix wurde nicht ordnungsgemäß beendet. %1 hat nie gespeicherte Änderungen vom %2. Wiederherstellen?</translation>
    </message>
    <message>
        <source>The unsaved changes kept in %1 cannot be read: %2. The file is kept.</source>
        <translation>Die in %1 aufbewahrten ungespeicherten Änderungen können nicht gelesen werden: %2. Die Datei wird aufbewahrt.</translation>
    </message>
    <message>
        <source>Unsaved Changes</source>
        <translation>Ungespeicherte Änderungen</translation>
    </message>
    <message>
        <source>Unsaved changes cannot be kept for a crash: %1</source>
        <translation>Ungespeicherte Änderungen können nicht für den Fall eines Absturzes aufbewahrt werden: %1</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Verwerfen</translation>
    </message>
    <message>
        <source>Recover</source>
        <translation>Wiederherstellen</translation>
    </message>
</context>
<context>
    <name>WindowMain</name>
    <message>
        <source>%1: not used: %2
  Give &quot;clear&quot;, or three data file names.
</source>
        <translation>%1: Nicht verwendet: %2
  Geben Sie &quot;clear&quot; oder drei Datendateinamen an.
</translation>
    </message>
</context>
</TS>
