<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="de_DE">
<context>
    <name>Dialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Eingabe:</source>
        <translation>Input:</translation>
    </message>
    <message>
        <source>Ausgabe:</source>
        <translation>Output:</translation>
    </message>
    <message>
        <source>Aktualisieren</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Laden</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>Ab Zeile:</source>
        <translation>From row:</translation>
    </message>
    <message>
        <source>Relaxed</source>
        <translation>Relaxed</translation>
    </message>
    <message>
        <source>Titel</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>Bearbeitbar</source>
        <translation>Editable</translation>
    </message>
    <message>
        <source>Textkodierung:</source>
        <translation>Text encoding:</translation>
    </message>
    <message>
        <source>Separatoren: Datenfeld:</source>
        <translation>Separators: data field:</translation>
    </message>
    <message>
        <source>Zeichenketten:</source>
        <translation>Strings:</translation>
    </message>
    <message>
        <source>Esc:</source>
        <translation>Esc:</translation>
    </message>
    <message>
        <source>Tabulator</source>
        <translation>Tab</translation>
    </message>
    <message>
        <source>Komma</source>
        <translation>Comma</translation>
    </message>
    <message>
        <source>Semikolon</source>
        <translation>Semicolon</translation>
    </message>
    <message>
        <source>Keiner</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Doppelt (&quot;)</source>
        <translation>Double (&quot;)</translation>
    </message>
    <message>
        <source>Einfach (&apos;)</source>
        <translation>Single (&apos;)</translation>
    </message>
    <message>
        <source>Beide (&quot; und &apos;)</source>
        <translation>Both (&quot; and &apos;)</translation>
    </message>
    <message>
        <source>Keine</source>
        <translation>None</translation>
    </message>
    <message>
        <source>TwoQuote</source>
        <translation>TwoQuote</translation>
    </message>
    <message>
        <source>Backslash</source>
        <translation>Backslash</translation>
    </message>
    <message>
        <source>Feldinhalte
löschen:</source>
        <translation>Data field contents
to delete:</translation>
    </message>
    <message>
        <source>Auswahl:</source>
        <translation>Select:</translation>
    </message>
    <message>
        <source>Alle</source>
        <translation>All</translation>
    </message>
    <message>
        <source>Feldinhalte
ändern:</source>
        <translation>Data field contents
to change:</translation>
    </message>
    <message>
        <source>Zuweisen</source>
        <translation>Assign</translation>
    </message>
    <message>
        <source>Konfigurieren</source>
        <translation>Configure</translation>
    </message>
    <message>
        <source>Zuordnungsdatei</source>
        <translation>Map file</translation>
    </message>
    <message>
        <source>Scriptdatei</source>
        <translation>Script file</translation>
    </message>
    <message>
        <source>Testen und Erstellen</source>
        <translation>Test and Create</translation>
    </message>
    <message>
        <source>Speichern</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Beenden</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Hilfe</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Webseite/Weitere Software</source>
        <translation>Website/More software</translation>
    </message>
    <message>
        <source>Lizenzen</source>
        <translation>Licences</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Email</source>
        <translation>Email</translation>
    </message>
    <message>
        <source>Ort</source>
        <translation>Place</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Strasse</source>
        <translation>Street</translation>
    </message>
    <message>
        <source>Strasse Nr</source>
        <translation>Street No</translation>
    </message>
    <message>
        <source>PLZ</source>
        <translation>Postcode</translation>
    </message>
    <message>
        <source>Firma</source>
        <translation>Company</translation>
    </message>
    <message>
        <source>Telefon</source>
        <translation>Phone</translation>
    </message>
    <message>
        <source>Steuernummer</source>
        <translation>Tax number</translation>
    </message>
    <message>
        <source>USt-ID</source>
        <translation>VAT ID</translation>
    </message>
    <message>
        <source>Domain</source>
        <translation>Domain</translation>
    </message>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>Fortlaufende Zahl</source>
        <translation>Running number</translation>
    </message>
    <message>
        <source>Uuid</source>
        <translation>Uuid</translation>
    </message>
    <message>
        <source>Betrag (Komma)</source>
        <translation>Amount (comma)</translation>
    </message>
    <message>
        <source>Betrag (Punkt)</source>
        <translation>Amount (point)</translation>
    </message>
    <message>
        <source>Ganzzahl</source>
        <translation>Integer</translation>
    </message>
    <message>
        <source>IBAN</source>
        <translation>IBAN</translation>
    </message>
    <message>
        <source>BIC</source>
        <translation>BIC</translation>
    </message>
    <message>
        <source>Datum</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Datum-Zeit</source>
        <translation>Date-time</translation>
    </message>
    <message>
        <source>Datum zu Text *</source>
        <translation>Date to text *</translation>
    </message>
    <message>
        <source>Datum-Zeit zu Text *</source>
        <translation>Date-time to text *</translation>
    </message>
    <message>
        <source>[neu]</source>
        <translation>[new]</translation>
    </message>
    <message>
        <source>Info:</source>
        <translation>Info:</translation>
    </message>
    <message>
        <source>Fehler:</source>
        <translation>Error:</translation>
    </message>
    <message>
        <source>Dateifehler:</source>
        <translation>File error:</translation>
    </message>
    <message>
        <source>Scriptfehler:</source>
        <translation>Script error:</translation>
    </message>
    <message>
        <source>Es ist nicht genug Arbeitsspeicher frei, um die Ausgabedatei zu erstellen. Es wurde keine Ausgabedatei erstellt.</source>
        <translation>There is not enough free memory to create the output file. No output file was created.</translation>
    </message>
    <message>
        <source>Die Ausgabedatei wurde erstellt.</source>
        <translation>The output file has been created.</translation>
    </message>
    <message>
        <source>Spalte %1: %2 Werte konnten nicht gelesen werden und sind leer.</source>
        <translation>Column %1: %2 values could not be read and are empty.</translation>
    </message>
    <message>
        <source>Die Datei wurde nicht gefunden:<byte value="xd"/>
%1</source>
        <translation>The file was not found:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>Spalte %1: 1 Wert konnte nicht gelesen werden und ist leer.</source>
        <translation>Column %1: 1 value could not be read and is empty.</translation>
    </message>
    <message>
        <source>Spalte %1: Faktor 1, die Beträge bleiben unverändert.</source>
        <translation>Column %1: factor 1, the amounts stay unchanged.</translation>
    </message>
    <message>
        <source>Spalte %1: Faktor 1, die Ganzzahlen bleiben unverändert.</source>
        <translation>Column %1: factor 1, the integers stay unchanged.</translation>
    </message>
    <message>
        <source>Unverändert kopiertes Tabellenblatt: %1</source>
        <translation>Sheet copied unchanged: %1</translation>
    </message>
    <message>
        <source>Unverändert kopierte Tabellenblätter: %1</source>
        <translation>Sheets copied unchanged: %1</translation>
    </message>
    <message>
        <source>Die Ausgabedatei konnte nicht erstellt werden.</source>
        <translation>The output file could not be created.</translation>
    </message>
    <message>
        <source>Die Zuordnungsdatei konnte nicht erstellt werden.</source>
        <translation>The map file could not be created.</translation>
    </message>
    <message>
        <source>Es liegen noch keine Daten vor.</source>
        <translation>There is no data yet.</translation>
    </message>
    <message>
        <source>Es muss eine Ausgabedatei ausgewählt werden.</source>
        <translation>An output file must be chosen.</translation>
    </message>
    <message>
        <source>Die Eingabedatei und die Ausgabedatei müssen unterschiedlich sein.</source>
        <translation>The input file and the output file must differ.</translation>
    </message>
    <message>
        <source>Die Dateiendung der Ausgabedatei muss .xlsx sein.</source>
        <translation>The output file must end in .xlsx.</translation>
    </message>
    <message>
        <source>Die Dateiendung der Ausgabedatei darf nicht .xlsx sein.</source>
        <translation>The output file must not end in .xlsx.</translation>
    </message>
    <message>
        <source>Die Daten wurden nicht vollständig geladen. Bitte die Eingabedatei neu laden.</source>
        <translation>The data were not loaded completely. Please load the input file again.</translation>
    </message>
    <message>
        <source>Die Scriptdatei <byte value="xd"/>
%1<byte value="xd"/>
wurde nicht gefunden.</source>
        <translation>The script file <byte value="xd"/>
%1<byte value="xd"/>
was not found.</translation>
    </message>
    <message>
        <source>Die Scriptdatei konnte nicht geladen werden:<byte value="xd"/>
%1</source>
        <translation>The script file could not be loaded:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>Tabellenblatt auswählen</source>
        <translation>Choose sheet</translation>
    </message>
    <message>
        <source>Tabellenblatt:</source>
        <translation>Sheet:</translation>
    </message>
    <message>
        <source>Konfiguration speichern</source>
        <translation>Save configuration</translation>
    </message>
    <message>
        <source>Konfiguration laden</source>
        <translation>Load configuration</translation>
    </message>
    <message>
        <source>Konfigurationen (*.vondrel.conf)</source>
        <translation>Configurations (*.vondrel.conf)</translation>
    </message>
    <message>
        <source>Die Eingabe-, Ausgabe-, Script- und Optionsdateien dürfen nicht durch eine Konfiguration ersetzt werden:<byte value="xd"/>
%1</source>
        <translation>The input, output, script and options files must not be replaced by a configuration:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>Die Konfiguration konnte nicht gespeichert werden:<byte value="xd"/>
%1</source>
        <translation>The configuration could not be saved:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>Die Datei enthält keine Konfiguration:<byte value="xd"/>
%1</source>
        <translation>The file holds no configuration:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>Scriptdatei:</source>
        <translation>Script file:</translation>
    </message>
    <message>
        <source>Die Konfiguration schaltet die Scriptdatei<byte value="xd"/>
%1<byte value="xd"/>
ein. Ein Script kann die Ausgabe verändern und Dateien schreiben.<byte value="xd"/>
Soll es bei „Testen und Erstellen“ ausgeführt werden?</source>
        <translation>The configuration switches on the script file<byte value="xd"/>
%1<byte value="xd"/>
A script can change the output and write files.<byte value="xd"/>
Should it run on “Test and Create”?</translation>
    </message>
    <message>
        <source>Der neue Schlüssel konnte nicht in „%1“ gespeichert werden.</source>
        <translation>The new key could not be saved in “%1”.</translation>
    </message>
    <message>
        <source>Zeile %1</source>
        <translation>Line %1</translation>
    </message>
    <message>
        <source>Die Datei wurde nicht gefunden.</source>
        <translation>The file was not found.</translation>
    </message>
    <message>
        <source>Das ist keine Datei.</source>
        <translation>This is not a file.</translation>
    </message>
    <message>
        <source>Die Datei kann nicht gelesen werden.</source>
        <translation>The file cannot be read.</translation>
    </message>
    <message>
        <source>%1 (ausgeblendet)</source>
        <translation>%1 (hidden)</translation>
    </message>
    <message>
        <source>Die Eingabedatei<byte value="xd"/>
%1<byte value="xd"/>
ist nicht die geladene Datei<byte value="xd"/>
%2<byte value="xd"/>
Bitte die Eingabedatei laden.</source>
        <translation>The input file<byte value="xd"/>
%1<byte value="xd"/>
is not the loaded file<byte value="xd"/>
%2<byte value="xd"/>
Please load the input file.</translation>
    </message>
    <message>
        <source>Keiner Spalte ist ein Feldtyp zugewiesen und keine Spalte ist zum Löschen ausgewählt. Es wurde keine Ausgabedatei erstellt.</source>
        <translation>No column has a field type and no column is chosen for deletion. No output file was created.</translation>
    </message>
    <message>
        <source>Ab Zeile %1 enthält die Tabelle keine Datenzeile. Es wurde keine Ausgabedatei erstellt.</source>
        <translation>From line %1 on, the table holds no data row. No output file was created.</translation>
    </message>
    <message>
        <source>Die Datei<byte value="xd"/>
%1<byte value="xd"/>
besteht bereits. Soll sie ersetzt werden?</source>
        <translation>The file<byte value="xd"/>
%1<byte value="xd"/>
already exists. Replace it?</translation>
    </message>
    <message>
        <source>Die Ausgabedatei darf nicht %1 ersetzen:<byte value="xd"/>
%2</source>
        <translation>The output file must not replace %1:<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>Die Zuordnungsdatei darf nicht %1 ersetzen:<byte value="xd"/>
%2</source>
        <translation>The map file must not replace %1:<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>die Eingabedatei</source>
        <translation>the input file</translation>
    </message>
    <message>
        <source>die Optionsdatei mit dem Schlüssel</source>
        <translation>the options file holding the key</translation>
    </message>
    <message>
        <source>die Sperrdatei der Optionsdatei</source>
        <translation>the lock file of the options file</translation>
    </message>
    <message>
        <source>die Sicherungskopie der Optionsdatei</source>
        <translation>the backup copy of the options file</translation>
    </message>
    <message>
        <source>die Scriptdatei</source>
        <translation>the script file</translation>
    </message>
    <message>
        <source>die Konfigurationsdatei</source>
        <translation>the configuration file</translation>
    </message>
    <message>
        <source>die Zuordnungsdatei des letzten Laufs</source>
        <translation>the map file of the last run</translation>
    </message>
    <message>
        <source>die Ausgabedatei</source>
        <translation>the output file</translation>
    </message>
    <message>
        <source>Der Ordner „%1“ existiert nicht.</source>
        <translation>The folder “%1” does not exist.</translation>
    </message>
    <message>
        <source>Die Datei existiert nicht.</source>
        <translation>The file does not exist.</translation>
    </message>
    <message>
        <source>Ein Teil des Pfads ist kein Ordner.</source>
        <translation>A part of the path is not a folder.</translation>
    </message>
    <message>
        <source>Keine Berechtigung für die Datei oder ihren Ordner.</source>
        <translation>No permission for the file or its folder.</translation>
    </message>
    <message>
        <source>Der Datenträger ist schreibgeschützt.</source>
        <translation>The drive is write-protected.</translation>
    </message>
    <message>
        <source>Auf dem Datenträger ist nicht genug Platz.</source>
        <translation>There is not enough space on the drive.</translation>
    </message>
    <message>
        <source>Die Datei überschreitet die erlaubte Dateigröße.</source>
        <translation>The file exceeds the permitted file size.</translation>
    </message>
    <message>
        <source>Der Name bezeichnet einen Ordner.</source>
        <translation>The name refers to a folder.</translation>
    </message>
    <message>
        <source>Es sind zu viele Dateien geöffnet.</source>
        <translation>Too many files are open.</translation>
    </message>
    <message>
        <source>Der Dateiname ist zu lang.</source>
        <translation>The file name is too long.</translation>
    </message>
    <message>
        <source>Der Name führt über zu viele symbolische Verknüpfungen.</source>
        <translation>The name leads through too many symbolic links.</translation>
    </message>
    <message>
        <source>Der Datenträger meldet einen Ein-/Ausgabefehler.</source>
        <translation>The drive reports an input/output error.</translation>
    </message>
    <message>
        <source>Der Name bezeichnet keine gewöhnliche Datei.</source>
        <translation>The name does not refer to a regular file.</translation>
    </message>
    <message>
        <source>Die Datei ist schreibgeschützt.</source>
        <translation>The file is write-protected.</translation>
    </message>
    <message>
        <source>Keine Berechtigung, im Ordner „%1“ zu schreiben.</source>
        <translation>No permission to write in the folder “%1”.</translation>
    </message>
    <message>
        <source>Keine Berechtigung, die Datei zu lesen.</source>
        <translation>No permission to read the file.</translation>
    </message>
    <message>
        <source>Beim Lesen ist ein Fehler aufgetreten.</source>
        <translation>An error occurred while reading.</translation>
    </message>
    <message>
        <source>Beim Schreiben ist ein Fehler aufgetreten, etwa weil der Datenträger voll ist.</source>
        <translation>An error occurred while writing, for example because the drive is full.</translation>
    </message>
    <message>
        <source>Die fertige Datei konnte nicht an ihren Platz gebracht werden.</source>
        <translation>The finished file could not be moved into place.</translation>
    </message>
    <message>
        <source>Die Datei konnte nicht geschrieben werden.</source>
        <translation>The file could not be written.</translation>
    </message>
    <message>
        <source>Die Datei konnte nicht gelesen werden.</source>
        <translation>The file could not be read.</translation>
    </message>
    <message>
        <source>Die Konfiguration konnte nicht geladen werden:<byte value="xd"/>
%1</source>
        <translation>The configuration could not be loaded:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>Die Datei ist zu groß (%1); geladen werden Dateien bis %2.</source>
        <translation>The file is too large (%1); files up to %2 are loaded.</translation>
    </message>
    <message>
        <source>Die Datei gibt keine Größe an und ist größer als %1; sie wird nicht geladen.</source>
        <translation>The file does not state its size and is larger than %1; it is not loaded.</translation>
    </message>
    <message>
        <source>Die Datei ist eine gepackte Datei (eine Arbeitsmappe) und kann nicht als Text gelesen werden. Arbeitsmappen werden nur mit der Endung .xlsx gelesen.</source>
        <translation>The file is a packed file (a workbook) and cannot be read as text. Workbooks are only read with the suffix .xlsx.</translation>
    </message>
    <message>
        <source>Es ist nicht genug Arbeitsspeicher frei, um die Datei zu laden.</source>
        <translation>There is not enough free memory to load the file.</translation>
    </message>
    <message>
        <source>Die Datei konnte nicht geladen werden.</source>
        <translation>The file could not be loaded.</translation>
    </message>
    <message>
        <source>Diese Einstellungen lagen außerhalb der erlaubten Grenzen und wurden angepasst:<byte value="xd"/>
%1</source>
        <translation>These settings were outside their permitted limits and have been adjusted:<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Daten-Pseudonymisierungstool:</source>
        <translation>Data pseudonymisation tool:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Beenden</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Hilfe</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Ändern...</source>
        <translation>Change...</translation>
    </message>
    <message>
        <source>Öffnen...</source>
        <translation>Open...</translation>
    </message>
    <message>
        <source>Farbe ändern...</source>
        <translation>Change colour...</translation>
    </message>
    <message>
        <source>Schrift ändern...</source>
        <translation>Change font...</translation>
    </message>
    <message>
        <source>Einstellungen speichern:</source>
        <translation>Save settings:</translation>
    </message>
    <message>
        <source>Sollen evtl. Änderungen zuvor gesichert werden?</source>
        <translation>Save any changes first?</translation>
    </message>
    <message>
        <source>Dateifehler:</source>
        <translation>File error:</translation>
    </message>
    <message>
        <source>Die Einstellungen konnten nicht in „%1“ gespeichert werden.</source>
        <translation>The settings could not be saved in “%1”.</translation>
    </message>
    <message>
        <source>Fehler:</source>
        <translation>Error:</translation>
    </message>
    <message>
        <source>Feld &apos;%1&apos;: Es muss ein Wert eingetragen oder ausgewählt werden.</source>
        <translation>Field &apos;%1&apos;: A value must be entered or chosen.</translation>
    </message>
    <message>
        <source>Feld &apos;%1&apos;: Der Wert (%2) entspricht nicht dem Abfragemuster.</source>
        <translation>Field &apos;%1&apos;: The value (%2) does not match the pattern.</translation>
    </message>
    <message>
        <source>Feld &apos;%1&apos;: Die Datei oder Ordner existieren nicht (%2).</source>
        <translation>Field &apos;%1&apos;: The file or folder does not exist (%2).</translation>
    </message>
    <message>
        <source>Feld &apos;%1&apos;: Der Text (%2) muss länger als %3 Zeichen sein.</source>
        <translation>Field &apos;%1&apos;: The text (%2) must be longer than %3 characters.</translation>
    </message>
    <message>
        <source>Feld &apos;%1&apos;: Der Text (%2) muss kürzer als %3 Zeichen sein.</source>
        <translation>Field &apos;%1&apos;: The text (%2) must be shorter than %3 characters.</translation>
    </message>
    <message>
        <source>Konfigurationen (*.vondrel.conf)</source>
        <translation>Configurations (*.vondrel.conf)</translation>
    </message>
    <message>
        <source>Einstellung speichern:</source>
        <translation>Save setting:</translation>
    </message>
    <message>
        <source>Sollen evtl. Änderungen an der Einstellung &apos;%1&apos; zuvor gesichert werden?</source>
        <translation>Save any changes to the setting &apos;%1&apos; first?</translation>
    </message>
    <message>
        <source>Neue Einstellung:</source>
        <translation>New setting:</translation>
    </message>
    <message>
        <source>Name der Einstellung:</source>
        <translation>Name of the setting:</translation>
    </message>
    <message>
        <source>Eintrag löschen:</source>
        <translation>Delete entry:</translation>
    </message>
    <message>
        <source>Es muss ein Eintrag in der Liste existieren.</source>
        <translation>The list must hold an entry.</translation>
    </message>
    <message>
        <source>Daten speichern:</source>
        <translation>Save data:</translation>
    </message>
    <message>
        <source>Soll die Einstellung &apos;%1&apos; wirklich gelöscht werden?</source>
        <translation>Really delete the setting &apos;%1&apos;?</translation>
    </message>
    <message>
        <source>Einstellungen:</source>
        <translation>Settings:</translation>
    </message>
    <message>
        <source>Die Datei konnte nicht geöffnet werden:<byte value="xd"/>
%1<byte value="xd"/>
Bitte die Datei in einem Browser öffnen.</source>
        <translation>The file could not be opened:<byte value="xd"/>
%1<byte value="xd"/>
Please open the file in a browser.</translation>
    </message>
    <message>
        <source>Die Adresse konnte nicht geöffnet werden:<byte value="xd"/>
%1<byte value="xd"/>
Bitte die Adresse in einem Browser öffnen.</source>
        <translation>The address could not be opened:<byte value="xd"/>
%1<byte value="xd"/>
Please open the address in a browser.</translation>
    </message>
</context>
<context>
    <name>QxtCsvModel</name>
    <message>
        <source>Lade Daten...</source>
        <translation>Loading data...</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
</context>
</TS>
