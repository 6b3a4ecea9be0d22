<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>AboutBox</name>
    <message>
        <source>Trovix finds and keeps your records. © 2026 The Trovix developers, under the MIT License.    Version: %1.%2.%3</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AboutWindow</name>
    <message>
        <source>Find any record as you type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Trovix</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ChangeNoticeBar</name>
    <message>
        <source>File changed on disk</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Changed file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Merge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Merge the file&apos;s records with your changes; nothing is written until you save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re&amp;load</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read the file again; your unsaved changes to it are dropped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Keep Mine</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep your changes; saving asks before it replaces the file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Ignore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Leave the conflict copy as it is and do not offer it again</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt: the platform plugin (xcb, wayland, offscreen, ...).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>path</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt: where the platform plugins are.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt: the platform theme.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>plugin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt: loads an input plugin.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>geometry</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt: the window&apos;s place and size, as WxH+X+Y.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>icon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt: the window&apos;s icon.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>title</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt: the window&apos;s title.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>session</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt: the session to restore.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>style</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt: the widget style (Fusion, ...).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt: a style sheet.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt: the QML debugger&apos;s options.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt: lays the window out from right to left.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt: loads the testability plugin.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt: counts the widgets left at the end.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>display</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt on X11: the X server&apos;s display.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt on X11: as -qwindowgeometry.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt on X11: as -qwindowtitle.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt on X11: as -qwindowicon.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt on X11: the program&apos;s resource name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>visual</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt on X11: the visual.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt on X11: never grabs the mouse or the keyboard.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt on X11: grabs them even under a debugger.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows this help.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows this help with Qt&apos;s options.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows the version.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Prints, without a window, every record of the files given (- is the standard input; with none, the standard input when it is a pipe or a file, else the three data files of the settings) that holds all the words, letter case ignored. Each record is printed as its file holds it, every line; its further lines begin with -----. With more than one file, each line begins with the file&apos;s name and a colon. Exit code 0: found, 1: nothing found, 2: an error.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>words</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With --find: letter case must match.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With --find: prints the number of records found per file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With --find: prints only the names of the files in which a record was found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With --find: begins each line printed with its number in the file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With --find: marks the words found in colour: auto (when the output is a terminal and NO_COLOR is not set), always or never.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>when</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start with the default settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Three data file names, relative to the folder above, to open and remember.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;--%1&apos; goes with &apos;--find&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;--find&apos; needs the words to find first: %1 --find &quot;words&quot; [--count] [file...]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;--find&apos; is given more than once.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;--find&apos; needs a word to find.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;--count&apos; and &apos;--files-with-matches&apos; exclude each other.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;--color&apos; is auto, always or never.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trovix finds and keeps free-form text records in three data files.

Data files, their .old backups and the update program&apos;s files are kept in
  %1
(the per-user data folder: the program is installed, or its own folder is read only).

To search from the command line:
  %2 --find &quot;words&quot; [--case] [--count] [--files-with-matches] [-n] [--color=when] [file...]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trovix finds and keeps free-form text records in three data files.

Data files, their .old backups and the update program&apos;s files are kept in
  %1
(the program&apos;s own folder).

To search from the command line:
  %2 --find &quot;words&quot; [--case] [--count] [--files-with-matches] [-n] [--color=when] [file...]</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommandLineFind</name>
    <message>
        <source>Is a folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: there are no data files yet in %2: name the files to search (%1 --find &quot;words&quot; file...), or start %1 once to make them.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the output could not be written
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommandTable</name>
    <message>
        <source>Find</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display Edit Textbox</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Full Data Display (Read Only)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change Font</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Selection to Clipboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display Results (File 1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display Results (File 2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display Results (File 3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select File Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Selected File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open File for Direct Editing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reload Selected File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Email Author</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Actions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print &amp;Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print &amp;Selection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print &amp;List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Copy Selection to Clipboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy List to Clip&amp;Board</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Co&amp;mpact</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Backup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re&amp;do</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sa&amp;ve</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Ignore Case</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;AutoSave</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Search While &amp;Typing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Display File Names</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;On top</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Reload Changed Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Highlight Matches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Email Author</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;WebSite</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Online Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>&lt;disabled&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1  %2 pt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Compact</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backed up %1 files as *.old</source>
        <extracomment>%1 is the number of data files, which is always three.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restored %1 files from *.old</source>
        <extracomment>%1 is the number of data files, which is always three.</extracomment>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DataFileIo</name>
    <message>
        <source>The reading was cancelled.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file is larger than 1 GB.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was not enough memory to read it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its records are more than Trovix can hold.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DataFormat</name>
    <message>
        <source>&lt;file not found&gt;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EditHistory</name>
    <message>
        <source>Typing</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileChanges</name>
    <message>
        <source>%1 was changed on disk and has been read again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 could not be read again; list %2 keeps its records</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was deleted or renamed on disk; list %2 keeps its records</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was changed on disk.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A conflict copy of %1 was found</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileCommands</name>
    <message>
        <source>Select Text Data File%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text Files (*.*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; cannot be used:
%2

Rename the file and choose it again. The list keeps its file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No text editor could be started for &quot;%1&quot;.

Set the desktop&apos;s application for text files, or name an editor in the VISUAL or EDITOR environment variable.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileMaintenance</name>
    <message>
        <source>&quot;%1&quot; could not be copied to &quot;%2&quot;:
%3

No file was changed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The files could not be replaced:
%1

No file was changed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The files could not be replaced:
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileMerge</name>
    <message numerus="yes">
        <source>%1: your changes and %Ln record(s) from disk merged</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %2 of your changes and %3 from disk merged; %Ln record(s) changed on both sides (is/are) kept twice</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>%1: %2 of your changes and %3 from disk merged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is still being written; merge it again in a moment</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 could not be read; list %2 keeps its records</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The conflict copy %1 could not be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 already holds every record of its conflict copy, which was moved to the trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 already holds every record of its conflict copy, which could not be moved to the trash: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1: %Ln record(s) of the conflict copy merged; the copy goes to the trash when you save</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FileNames</name>
    <message>
        <source>Part of the name is not valid UTF-8, so no file can be opened or saved by the name as it is shown.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its &quot;�&quot; stands for bytes of the name that are not valid UTF-8. No file of the name as it is shown exists, and saving would make one under another name.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HistoryStep</name>
    <message>
        <source>Sort of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Merge of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reload of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recovery of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choice of %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InterruptedSaves</name>
    <message>
        <source>A save of &quot;%1&quot; was cut short: Trovix or the system stopped while the file was being written.

The file was left part old and part new, so its content from before that save has been put back and checked. The changes that save was writing are not in it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A save of &quot;%1&quot; was cut short: Trovix or the system stopped while the file was being written.

The file was left part old and part new, and its content from before that save could not be put back:
%2

That content is kept in &quot;%3&quot;. Trovix tries again at its next start.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A restore or backup of several files was cut short: Trovix or the system stopped while the files were being replaced. So that the files stay as they were together, the content &quot;%1&quot; had before has been put back.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A save of &quot;%1&quot; was cut short: Trovix or the system stopped while the file was being written.

The file has been replaced or removed since, so it was left as it is. Its content from before that save is kept in &quot;%2&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A save of &quot;%1&quot; was cut short: Trovix or the system stopped while the file was being written.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Interrupted Save</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ListCommands</name>
    <message>
        <source>&lt;disabled&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This record is too long to edit here and is shown shortened. &quot;Open File for Direct Editing&quot; opens its file in a text editor.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>%1: %2
%3
Run &quot;%1 --help&quot; for more.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the window cannot be shown:
  %2
A copied %1 needs its window library beside it: copy %3 into the same folder.
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Toolbar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Commands</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>More commands</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find &amp;String</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Results</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Results</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Results of file %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit / Full Content</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Record text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File %1 and its rows</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>pressed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not pressed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>pressed, %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not pressed, %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sa&amp;ve</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sa&amp;ve %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re&amp;do</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re&amp;do %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>row %1, record %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MemoryLimits</name>
    <message>
        <source>the physical memory available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the memory limit of this program&apos;s control group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the address space allowed to this program (ulimit -v)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the data size allowed to this program (ulimit -d)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 GB</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OutsideLinks</name>
    <message>
        <source>Error sending email!

%1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send Email to Author</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not locate web site!  Error: this copy of Trovix names none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not locate web site!  Error: %1, so %2 could not be opened</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This copy of Trovix was installed by the system&apos;s package manager, which brings its updates. Trovix stays open.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Online Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trovix will close to check for online updates!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error updating Trovix.  Close all programs and try again!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PathInfo</name>
    <message>
        <source>missing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a regular file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a named pipe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a socket</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a symbolic link that leads back to itself</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a symbolic link to a file that does not exist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is missing, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a folder, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a named pipe, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a socket, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a device, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a symbolic link that leads back to itself, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a symbolic link to a file that does not exist, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Printing</name>
    <message>
        <source>Nothing was printed:
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Printed list will contain %Ln lines of data!<byte value="xd"/>
<byte value="xd"/>
Continue printing?</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Print List</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PrivateFolder</name>
    <message>
        <source>%1 is a symbolic link, not a folder of its own.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 belongs to another user.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 can be read by other users.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder %1 cannot be made: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder %1 cannot be made.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QtLoadProgress</name>
    <message>
        <source>Reading %1…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QtPrinter</name>
    <message>
        <source>The printing system did not accept the job.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The printer &quot;%1&quot; could not be started:
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; could not be written completely, so it was removed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The print job on &quot;%1&quot; could not be completed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printing…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No printer is installed.

Save the print as a PDF file instead?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Print as PDF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PDF Files (*.pdf)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no window to print.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was not enough memory to print it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no window image to print.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QtSettingsStore</name>
    <message>
        <source>%1 is missing, not a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a regular file, not a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a named pipe, not a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a socket, not a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a device, not a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a symbolic link that leads back to itself, not a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a symbolic link to a file that does not exist, not a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its lock file %1 is missing, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its lock file %1 is a folder, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its lock file %1 is a named pipe, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its lock file %1 is a socket, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its lock file %1 is a device, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its lock file %1 is a symbolic link that leads back to itself, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its lock file %1 is a symbolic link to a file that does not exist, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder %1 cannot be made: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder %1 cannot be made.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The settings could not be written.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another program is writing it.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QtShell</name>
    <message>
        <source>no mail program is set up for %1: links</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no web browser is set up for %1: links</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>xdg-open is not installed (package xdg-utils)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the mail program set up for %1: links did not start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the web browser set up for %1: links did not start</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RecordOperations</name>
    <message>
        <source>New Item</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was not enough memory to sort them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records of &quot;%1&quot; were not sorted:
%2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RecordSplitter</name>
    <message>
        <source>As UTF-8 text it would take %1, more than Trovix can hold.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RecoveryFile</name>
    <message>
        <source>it is damaged or cut short</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RefusalText</name>
    <message>
        <source>Reading it would take at least %1 of memory, and only %2 is left (%3).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RegularFile</name>
    <message>
        <source>It does not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReplacementFile</name>
    <message>
        <source>Another program changed it after Trovix read it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was prepared.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another program changed it while Trovix saved it, and its version could not be put back in place. It is kept as %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReplacementSet</name>
    <message>
        <source>%1 could not be removed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The content %1 held before is no longer there.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The journal of the files to replace could not be written to %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1

The files already replaced could not all be put back:
%2
The next start of Trovix tries again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ResultList</name>
    <message>
        <source>no match found</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SafeFile</name>
    <message>
        <source>It is a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file&apos;s owner could not be kept.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It cannot be read, so its old content could not be kept while it is written.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was prepared.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another program removed it after Trovix read it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another program changed it after Trovix read it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its old content could not be copied to %1 first: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another program replaced it while Trovix saved it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1

Its old content could not be put back either: %2
The file may be damaged. Its old content is kept in %3. When Trovix next starts, it puts the old content back, unless the file then holds the old or the new content whole.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SaveJournal</name>
    <message>
        <source>It was removed or replaced since, and its old content could not be copied out: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It does not read back as its old content.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SearchCommands</name>
    <message>
        <source>&quot;%1&quot; could not be searched:
There was not enough memory.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>The settings of Trovix could not be stored:
%1

The window&apos;s place, the options, the file names and the search history of this session are lost.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Shutdown</name>
    <message>
        <source>%1

Close without saving the changes to this file, or keep the window open with them?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close Without Saving</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep the Window Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, </source>
        <extracomment>Put between the names of the changed files.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Changes?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Changed files: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The changes to &quot;%1&quot; were not saved: AutoSave is off.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The changes to &quot;%1&quot; were not saved: nobody could be asked &quot;%2&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 The next start offers them back.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 They could not be kept for the next start either (%2), so they are lost.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SlotProcedures</name>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; (a symbolic link to &quot;%2&quot;)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is %1, not a regular file. Trovix saves only into regular files and never replaces anything else.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a symbolic link to &quot;%1&quot;, which is %2, not a regular file. Trovix saves only into regular files and never replaces anything else.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The data file %1 was saved from list %2 of this window after list %3 read it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>When Trovix read %1, it was %2. Another program has put a file there since.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A file %1 was made by another program after Trovix found none there.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The data file %1 was deleted by another program after Trovix read it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The data file %1 was changed by another program after Trovix read it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is saved in %2, which cannot hold &apos;%3&apos;. Save the whole file as UTF-8?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is saved in %2, which cannot hold the character U+%3. Save the whole file as UTF-8?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save as UTF-8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The data file &quot;%1&quot; was not opened:
%2

List %3 keeps the records of &quot;%4&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The data file &quot;%1&quot; was not opened:
%2

List %3 shows &quot;%4&quot; in its place.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; changed after its records were merged, so it was left where it is.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be moved to the trash: %2
It was left where it is.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was saved with the records of its conflict copies, but not every copy went to the trash:

%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The data file &quot;%1&quot; cannot be read:
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The data file &quot;%1&quot; could not be read:
%2

Its records are not shown, and it will not be saved over until it has been read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The data file &quot;%1&quot; cannot be read: it is %2, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records of &quot;%1&quot; were read, but there is not enough memory to list them all.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It could not be read, so saving would overwrite its records.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Anyway</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1

Saving replaces it with the records shown here.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1

Saving replaces it with the records shown here. Merge takes its records in with yours and saves nothing.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Merge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The data file &quot;%1&quot; could not be saved:
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1

The file is unchanged and your changes are kept.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1

Your changes are kept.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SplitterBar</name>
    <message>
        <source>Splitter between the results and the edit box</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drag, or use the arrow keys, to share the room between the results and the edit box</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 twips above the window&apos;s bottom edge</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>Registry settings were deleted for Trovix.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The settings of Trovix could not be deleted:
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file name &quot;%1&quot; on the command line cannot be used:
%2

None of the three names was used. Rename the file and start Trovix again with its new name.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SystemDisk</name>
    <message>
        <source>the desktop has no trash for it</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UnsavedEdits</name>
    <message>
        <source>Trovix was not closed properly. %1 has changes from %2 that were never saved. %1 has been deleted or moved away since then. Recover them?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trovix was not closed properly. %1 has changes from %2 that were never saved. %1 has been changed on disk since then. Recover them?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trovix was not closed properly. %1 has changes from %2 that were never saved. Recover them?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The unsaved changes kept in %1 cannot be read: %2. The file is kept.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unsaved Changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unsaved changes cannot be kept for a crash: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Discard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recover</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WindowMain</name>
    <message>
        <source>%1: not used: %2
  Give &quot;clear&quot;, or three data file names.
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
