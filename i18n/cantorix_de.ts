<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AcoustidService</name>
    <message>
        <source>AcoustID needs an application key: register one on the AcoustID site and enter it in Options › Connection</source>
        <translation>AcoustID braucht einen Anwendungsschlüssel: Registrieren Sie einen auf der AcoustID-Website und tragen Sie ihn unter Optionen › Verbindung ein</translation>
    </message>
</context>
<context>
    <name>AlbumVote</name>
    <message>
        <source>medium %1 of %2</source>
        <translation>Medium %1 von %2</translation>
    </message>
    <message>
        <source>%1 of %2 files</source>
        <translation>%1 von %2 Dateien</translation>
    </message>
</context>
<context>
    <name>Application</name>
    <message>
        <source>Unknown exception</source>
        <translation>Unbekannte Ausnahme</translation>
    </message>
</context>
<context>
    <name>Batch</name>
    <message>
        <source>two disc folders have the number %1</source>
        <translation>zwei Disc-Ordner haben die Nummer %1</translation>
    </message>
    <message>
        <source>the disc folders are not numbered from 1 without a gap</source>
        <translation>die Disc-Ordner sind nicht lückenlos ab 1 nummeriert</translation>
    </message>
    <message>
        <source>audio files stand beside the disc folders</source>
        <translation>neben den Disc-Ordnern liegen Audiodateien</translation>
    </message>
</context>
<context>
    <name>Cddb</name>
    <message>
        <source>Cannot connect to %1:%2: %3</source>
        <translation>Keine Verbindung zu %1:%2: %3</translation>
    </message>
    <message>
        <source>Querying CD</source>
        <translation>CD wird abgefragt</translation>
    </message>
    <message>
        <source>Reading CD info</source>
        <translation>CD-Angaben werden gelesen</translation>
    </message>
    <message>
        <source>Getting sites</source>
        <translation>Serverliste wird geholt</translation>
    </message>
    <message>
        <source>no valid server address</source>
        <translation>keine gültige Serveradresse</translation>
    </message>
    <message>
        <source>%1 (enter your own e-mail address in Options › Connection, or as [Connection] Email in the settings file: the server asks for a real one)</source>
        <translation>%1 (tragen Sie Ihre eigene E-Mail-Adresse unter Optionen › Verbindung ein oder als [Connection] Email in der Einstellungsdatei: der Server verlangt eine echte)</translation>
    </message>
    <message>
        <source>The server %1 did not answer as a freedb server</source>
        <translation>Der Server %1 hat nicht wie ein freedb-Server geantwortet</translation>
    </message>
    <message>
        <source>The server %1 answered %2; it is not a freedb server</source>
        <translation>Der Server %1 hat %2 geantwortet; er ist kein freedb-Server</translation>
    </message>
    <message>
        <source>The server %1 has moved to %2; enter that address as the server in Options &gt; Connection</source>
        <translation>Der Server %1 ist nach %2 umgezogen; tragen Sie diese Adresse als Server unter Optionen &gt; Verbindung ein</translation>
    </message>
    <message>
        <source>The server refused protocol level %1; asking again at level %2</source>
        <translation>Der Server hat Protokollstufe %1 abgelehnt; neue Anfrage mit Stufe %2</translation>
    </message>
    <message>
        <source>Server error</source>
        <translation>Serverfehler</translation>
    </message>
    <message>
        <source>CGI environment error</source>
        <translation>Fehler in der CGI-Umgebung</translation>
    </message>
    <message>
        <source>Command syntax error, command unknown, command unimplemented</source>
        <translation>Syntaxfehler im Befehl, Befehl unbekannt, Befehl nicht umgesetzt</translation>
    </message>
    <message>
        <source>Server error, server timeout</source>
        <translation>Serverfehler, Zeitüberschreitung am Server</translation>
    </message>
    <message>
        <source>Informative message</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>Command OK</source>
        <translation>Befehl OK</translation>
    </message>
    <message>
        <source>Command OK so far</source>
        <translation>Befehl bisher OK</translation>
    </message>
    <message>
        <source>Command OK, but cannot be performed</source>
        <translation>Befehl OK, kann aber nicht ausgeführt werden</translation>
    </message>
    <message>
        <source>Command unimplemented, incorrect, or program error</source>
        <translation>Befehl nicht umgesetzt, fehlerhaft oder Programmfehler</translation>
    </message>
    <message>
        <source>, ready for further commands</source>
        <translation>, bereit für weitere Befehle</translation>
    </message>
    <message>
        <source>, more server-to-client output follows</source>
        <translation>, weitere Ausgabe vom Server folgt</translation>
    </message>
    <message>
        <source>, more client-to-server input follows</source>
        <translation>, weitere Eingabe an den Server folgt</translation>
    </message>
    <message>
        <source>, connection will close</source>
        <translation>, Verbindung wird geschlossen</translation>
    </message>
    <message>
        <source>Found exact match</source>
        <translation>Genauen Treffer gefunden</translation>
    </message>
    <message>
        <source>No match found</source>
        <translation>Kein Treffer gefunden</translation>
    </message>
    <message>
        <source>Found exact matches</source>
        <translation>Genaue Treffer gefunden</translation>
    </message>
    <message>
        <source>Found inexact matches</source>
        <translation>Ungenaue Treffer gefunden</translation>
    </message>
    <message>
        <source>OK, receiving matches</source>
        <translation>OK, Treffer werden empfangen</translation>
    </message>
    <message>
        <source>The match list is corrupt</source>
        <translation>Die Trefferliste ist beschädigt</translation>
    </message>
    <message>
        <source>Received matches</source>
        <translation>Treffer empfangen</translation>
    </message>
    <message>
        <source>OK, CDDB database entry follows</source>
        <translation>OK, CDDB-Datenbankeintrag folgt</translation>
    </message>
    <message>
        <source>The entry is corrupt</source>
        <translation>Der Eintrag ist beschädigt</translation>
    </message>
    <message>
        <source>Entry read</source>
        <translation>Eintrag gelesen</translation>
    </message>
    <message>
        <source>The server list ended without its closing line</source>
        <translation>Die Serverliste endete ohne ihre Schlusszeile</translation>
    </message>
    <message>
        <source>OK, receiving sites</source>
        <translation>OK, Serverliste wird empfangen</translation>
    </message>
    <message>
        <source>No site information available</source>
        <translation>Keine Serverangaben verfügbar</translation>
    </message>
    <message>
        <source>Got sites</source>
        <translation>Serverliste erhalten</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>show this help</source>
        <translation>diese Hilfe zeigen</translation>
    </message>
    <message>
        <source>show the version</source>
        <translation>die Version zeigen</translation>
    </message>
    <message>
        <source>the settings file to use instead of the usual one</source>
        <translation>diese Einstellungsdatei statt der üblichen verwenden</translation>
    </message>
</context>
<context>
    <name>FolderEntry</name>
    <message>
        <source>the program&apos;s path holds a control character</source>
        <translation>der Pfad des Programms enthält ein Steuerzeichen</translation>
    </message>
    <message>
        <source>cannot create the folder &quot;%1&quot;</source>
        <translation>der Ordner &quot;%1&quot; kann nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>FolderScan</name>
    <message>
        <source>Removed the temporary file &quot;%1&quot; of an interrupted write</source>
        <translation>Temporäre Datei &quot;%1&quot; eines abgebrochenen Schreibvorgangs entfernt</translation>
    </message>
    <message>
        <source>No audio files found in &quot;%1&quot;</source>
        <translation>Keine Audiodateien in &quot;%1&quot; gefunden</translation>
    </message>
    <message>
        <source>1 audio file found in &quot;%1&quot;</source>
        <translation>1 Audiodatei in &quot;%1&quot; gefunden</translation>
    </message>
    <message>
        <source>%1 audio files found in &quot;%2&quot;</source>
        <translation>%1 Audiodateien in &quot;%2&quot; gefunden</translation>
    </message>
</context>
<context>
    <name>HttpClient</name>
    <message>
        <source>Invalid proxy port &quot;%1&quot;</source>
        <translation>Ungültiger Proxy-Port &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Invalid URL</source>
        <translation>Ungültige URL</translation>
    </message>
    <message>
        <source>Reply too large</source>
        <translation>Antwort zu groß</translation>
    </message>
    <message>
        <source>No data received in time</source>
        <translation>Keine Daten in der vorgesehenen Zeit erhalten</translation>
    </message>
    <message>
        <source>Too many redirects</source>
        <translation>Zu viele Weiterleitungen</translation>
    </message>
    <message>
        <source>Cannot connect to the proxy %1: %2</source>
        <translation>Keine Verbindung zum Proxy %1: %2</translation>
    </message>
    <message>
        <source>No HTTP answer</source>
        <translation>Keine HTTP-Antwort</translation>
    </message>
    <message>
        <source>Received %1 of %2 bytes</source>
        <translation>%1 von %2 Bytes empfangen</translation>
    </message>
    <message>
        <source>Download stopped</source>
        <translation>Download abgebrochen</translation>
    </message>
    <message>
        <source>Network support not available: </source>
        <translation>Netzwerkunterstützung nicht verfügbar: </translation>
    </message>
    <message>
        <source>This client cannot send a POST</source>
        <translation>Dieser Client kann kein POST senden</translation>
    </message>
</context>
<context>
    <name>InfoText</name>
    <message>
        <source>%1 kbit/s</source>
        <translation>%1 kbit/s</translation>
    </message>
    <message>
        <source>VBR, %1</source>
        <translation>VBR, %1</translation>
    </message>
    <message>
        <source>%1 kHz</source>
        <translation>%1 kHz</translation>
    </message>
    <message>
        <source>Mono</source>
        <translation>Mono</translation>
    </message>
    <message>
        <source>Stereo</source>
        <translation>Stereo</translation>
    </message>
    <message>
        <source>Joint stereo</source>
        <translation>Joint Stereo</translation>
    </message>
    <message>
        <source>Dual channel</source>
        <translation>Zweikanal</translation>
    </message>
    <message>
        <source>Surround</source>
        <translation>Surround</translation>
    </message>
    <message>
        <source>%1 channels</source>
        <translation>%1 Kanäle</translation>
    </message>
</context>
<context>
    <name>LogFile</name>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Die Datei &quot;%1&quot; kann nicht angelegt werden. %2</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>About Cantorix</source>
        <translation>Über Cantorix</translation>
    </message>
    <message>
        <source>Names the files of ripped audio albums from the freedb/CDDB music database or from their own tags.

Licensed under the GNU General Public License, version 3 or later. It comes with no warranty.</source>
        <translation>Benennt die Dateien gerippter Audioalben nach der Musikdatenbank freedb/CDDB oder nach ihren eigenen Tags.

Lizenziert unter der GNU General Public License, Version 3 oder neuer. Ohne jede Gewährleistung.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: tags: %2</source>
        <translation>&quot;%1&quot;: Tags: %2</translation>
    </message>
    <message>
        <source>Folder: %1</source>
        <translation>Ordner: %1</translation>
    </message>
    <message>
        <source>Playlist: %1</source>
        <translation>Wiedergabeliste: %1</translation>
    </message>
    <message>
        <source>Renaming</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>&amp;Undo that run</source>
        <translation>Diesen Lauf &amp;rückgängig machen</translation>
    </message>
    <message>
        <source>No program is set up to open &quot;%1&quot;</source>
        <translation>Kein Programm ist zum Öffnen von &quot;%1&quot; eingerichtet</translation>
    </message>
    <message>
        <source>Cannot open</source>
        <translation>Öffnen nicht möglich</translation>
    </message>
    <message>
        <source>Choose a program for this kind of file in the desktop&apos;s settings (its default applications).</source>
        <translation>Wählen Sie in den Einstellungen der Arbeitsumgebung (Standardanwendungen) ein Programm für diese Dateiart.</translation>
    </message>
    <message>
        <source>Front cover</source>
        <translation>Frontcover</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is there already. Replace it with the album&apos;s front cover?</source>
        <translation>&quot;%1&quot; ist schon vorhanden. Durch das Frontcover des Albums ersetzen?</translation>
    </message>
    <message>
        <source>The old image is kept as folder.previous.jpg, and Undo gives it its name back.</source>
        <translation>Das alte Bild bleibt als folder.previous.jpg erhalten, und Rückgängig gibt ihm seinen Namen zurück.</translation>
    </message>
</context>
<context>
    <name>MusicBrainz</name>
    <message>
        <source>The cover is no JPEG image</source>
        <translation>Das Cover ist kein JPEG-Bild</translation>
    </message>
    <message>
        <source>No files to look up</source>
        <translation>Keine Dateien zum Nachschlagen</translation>
    </message>
    <message>
        <source>%1 files are more than a CD holds (%2 tracks)</source>
        <translation>%1 Dateien sind mehr, als eine CD fasst (%2 Titel)</translation>
    </message>
    <message>
        <source>The playing time of file %1 is unknown</source>
        <translation>Die Spieldauer von Datei %1 ist unbekannt</translation>
    </message>
    <message>
        <source>File %1 is shorter than a CD sector</source>
        <translation>Datei %1 ist kürzer als ein CD-Sektor</translation>
    </message>
    <message>
        <source>The files are longer than a CD</source>
        <translation>Die Dateien sind länger als eine CD</translation>
    </message>
    <message>
        <source>No tracks</source>
        <translation>Keine Titel</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Kein Speicher mehr frei</translation>
    </message>
    <message>
        <source>medium %1 of %2</source>
        <translation>Medium %1 von %2</translation>
    </message>
    <message>
        <source>Δ %1 s</source>
        <translation>Δ %1 s</translation>
    </message>
    <message>
        <source>The reply is no JSON object</source>
        <translation>Die Antwort ist kein JSON-Objekt</translation>
    </message>
    <message>
        <source>The reply holds no release list</source>
        <translation>Die Antwort enthält keine Veröffentlichungsliste</translation>
    </message>
    <message>
        <source>The reply holds no release</source>
        <translation>Die Antwort enthält keine Veröffentlichung</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is in the way of the old cover</source>
        <translation>&quot;%1&quot; steht dem alten Cover im Weg</translation>
    </message>
    <message>
        <source>media %1 to %2 of %3</source>
        <translation>Medien %1 bis %2 von %3</translation>
    </message>
    <message>
        <source>%1; the old cover is now &quot;%2&quot;</source>
        <translation>%1; das alte Cover heißt jetzt &quot;%2&quot;</translation>
    </message>
</context>
<context>
    <name>NameFormat</name>
    <message>
        <source>A name format cannot hold a line break or another control character</source>
        <translation>Ein Namensformat darf keinen Zeilenumbruch und kein anderes Steuerzeichen enthalten</translation>
    </message>
    <message>
        <source>A name format cannot hold &quot;=&quot;</source>
        <translation>Ein Namensformat darf kein &quot;=&quot; enthalten</translation>
    </message>
    <message>
        <source>A name format cannot begin with &quot;[&quot; or &quot;;&quot;</source>
        <translation>Ein Namensformat darf nicht mit &quot;[&quot; oder &quot;;&quot; beginnen</translation>
    </message>
    <message>
        <source>The name format &quot;%1&quot; is in the list already</source>
        <translation>Das Namensformat &quot;%1&quot; steht schon in der Liste</translation>
    </message>
</context>
<context>
    <name>NameQuery</name>
    <message>
        <source>Album not found in FreeDB or connection failed</source>
        <translation>Album nicht in FreeDB gefunden oder Verbindung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Failed to connect to the FreeDB</source>
        <translation>Verbindung zur FreeDB fehlgeschlagen</translation>
    </message>
    <message>
        <source>No answer from %1 within %2 seconds</source>
        <translation>Keine Antwort von %1 innerhalb von %2 Sekunden</translation>
    </message>
    <message>
        <source>Download of %1 failed: %2</source>
        <translation>Download von %1 fehlgeschlagen: %2</translation>
    </message>
    <message>
        <source>1 match found from FreeDB</source>
        <translation>1 Treffer in FreeDB gefunden</translation>
    </message>
    <message>
        <source>%1 matches found from FreeDB</source>
        <translation>%1 Treffer in FreeDB gefunden</translation>
    </message>
    <message>
        <source>No match chosen</source>
        <translation>Kein Treffer gewählt</translation>
    </message>
    <message>
        <source>Attempting to get album data from FreeDB</source>
        <translation>Albumdaten werden von FreeDB geholt</translation>
    </message>
    <message>
        <source>The entry is corrupt: it has no DTITLE</source>
        <translation>Der Eintrag ist beschädigt: er hat kein DTITLE</translation>
    </message>
    <message>
        <source>Album data received. Please sort files carefully!</source>
        <translation>Albumdaten empfangen. Bitte ordnen Sie die Dateien sorgfältig zu!</translation>
    </message>
    <message>
        <source>Entry read</source>
        <translation>Eintrag gelesen</translation>
    </message>
    <message>
        <source>Enter an artist or an album to search for</source>
        <translation>Geben Sie einen Interpreten oder ein Album zum Suchen ein</translation>
    </message>
    <message>
        <source>Querying album by name...</source>
        <translation>Album wird nach Namen abgefragt...</translation>
    </message>
    <message>
        <source>The search address &quot;%1&quot; has no %s for the words</source>
        <translation>Die Suchadresse &quot;%1&quot; enthält kein %s für die Suchwörter</translation>
    </message>
    <message>
        <source>Match choice cancelled</source>
        <translation>Trefferauswahl abgebrochen</translation>
    </message>
    <message>
        <source>The lookup was cancelled</source>
        <translation>Die Abfrage wurde abgebrochen</translation>
    </message>
</context>
<context>
    <name>Rename</name>
    <message>
        <source>Finished tag-to-filename renaming. Refreshing folder...</source>
        <translation>Umbenennen nach Tags beendet. Ordner wird aktualisiert...</translation>
    </message>
    <message>
        <source>cannot create the folder &quot;%1&quot;</source>
        <translation>der Ordner &quot;%1&quot; kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>Undo left the folder &quot;%1&quot;: &quot;%2&quot; exists now</source>
        <translation>Rückgängig hat den Ordner &quot;%1&quot; gelassen: &quot;%2&quot; gibt es jetzt</translation>
    </message>
    <message>
        <source>Folder renamed back to &quot;%1&quot;</source>
        <translation>Ordner zurück in &quot;%1&quot; umbenannt</translation>
    </message>
    <message>
        <source>Undo left the folder &quot;%1&quot; (%2)</source>
        <translation>Rückgängig hat den Ordner &quot;%1&quot; gelassen (%2)</translation>
    </message>
    <message>
        <source>Undo left the playlist &quot;%1&quot;: it was changed since</source>
        <translation>Rückgängig hat die Wiedergabeliste &quot;%1&quot; gelassen: sie wurde inzwischen geändert</translation>
    </message>
    <message>
        <source>Playlist &quot;%1&quot; removed</source>
        <translation>Wiedergabeliste &quot;%1&quot; entfernt</translation>
    </message>
    <message>
        <source>Undo left the playlist &quot;%1&quot; (%2)</source>
        <translation>Rückgängig hat die Wiedergabeliste &quot;%1&quot; gelassen (%2)</translation>
    </message>
    <message>
        <source>Undo left &quot;%1&quot;: it was replaced since</source>
        <translation>Rückgängig hat &quot;%1&quot; gelassen: die Datei wurde inzwischen ersetzt</translation>
    </message>
    <message>
        <source>Undo left &quot;%1&quot;: it is no longer there</source>
        <translation>Rückgängig hat &quot;%1&quot; gelassen: die Datei ist nicht mehr da</translation>
    </message>
    <message>
        <source>Undo left &quot;%1&quot;: &quot;%2&quot; is taken now</source>
        <translation>Rückgängig hat &quot;%1&quot; gelassen: &quot;%2&quot; ist jetzt belegt</translation>
    </message>
    <message>
        <source>Undo left &quot;%1&quot; (%2)</source>
        <translation>Rückgängig hat &quot;%1&quot; gelassen (%2)</translation>
    </message>
    <message>
        <source>The run wrote tags; their values are not undone</source>
        <translation>Der Lauf hat Tags geschrieben; ihre Werte werden nicht zurückgesetzt</translation>
    </message>
    <message>
        <source>Undo journal error: &quot;%1&quot; (nothing was moved back)</source>
        <translation>Fehler im Rückgängig-Protokoll: &quot;%1&quot; (nichts wurde zurückverschoben)</translation>
    </message>
    <message>
        <source>Cannot remove the undo journal &quot;%1&quot; (%2)</source>
        <translation>Das Rückgängig-Protokoll &quot;%1&quot; kann nicht entfernt werden (%2)</translation>
    </message>
    <message>
        <source>An earlier rename run in this folder did not finish. Undo it before renaming again: the titles go to the files by their order, which that run changed.</source>
        <translation>Ein früherer Umbenennungslauf in diesem Ordner wurde nicht beendet. Machen Sie ihn rückgängig, bevor Sie erneut umbenennen: die Titel gehen nach ihrer Reihenfolge an die Dateien, und die hat jener Lauf verändert.</translation>
    </message>
    <message>
        <source>There is no rename run to undo for this folder</source>
        <translation>Für diesen Ordner gibt es keinen Umbenennungslauf, der rückgängig gemacht werden kann</translation>
    </message>
    <message>
        <source>Undo finished</source>
        <translation>Rückgängig machen beendet</translation>
    </message>
    <message>
        <source>Rename error: &quot;%1&quot; (%2)</source>
        <translation>Fehler beim Umbenennen: &quot;%1&quot; (%2)</translation>
    </message>
    <message>
        <source>[Error] Folder &quot;%1&quot; already exists!</source>
        <translation>[Fehler] Der Ordner &quot;%1&quot; existiert bereits!</translation>
    </message>
    <message>
        <source>Failed to rename the folder: &quot;%1&quot;</source>
        <translation>Ordner konnte nicht umbenannt werden: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Tag error: &quot;%1&quot; (%2)</source>
        <translation>Tag-Fehler: &quot;%1&quot; (%2)</translation>
    </message>
    <message>
        <source>Playlist error: &quot;%1&quot;</source>
        <translation>Fehler in der Wiedergabeliste: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>[ERROR] Native: &quot;%1&quot; System: &quot;%2&quot;</source>
        <translation>[FEHLER] Programm: &quot;%1&quot; System: &quot;%2&quot;</translation>
    </message>
    <message>
        <source>Name shortened to fit the file system: &quot;%1&quot;</source>
        <translation>Name für das Dateisystem gekürzt: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Undo journal error: &quot;%1&quot; (nothing was renamed)</source>
        <translation>Fehler im Rückgängig-Protokoll: &quot;%1&quot; (nichts wurde umbenannt)</translation>
    </message>
    <message>
        <source>Undo journal error: &quot;%1&quot; (the run stopped; undo puts back what it renamed)</source>
        <translation>Fehler im Rückgängig-Protokoll: &quot;%1&quot; (der Lauf wurde angehalten; Rückgängig stellt wieder her, was er umbenannt hat)</translation>
    </message>
    <message numerus="yes">
        <source>Files without a title kept their names: %n</source>
        <translation>
            <numerusform>Datei ohne Titel hat ihren Namen behalten: %n</numerusform>
            <numerusform>Dateien ohne Titel haben ihre Namen behalten: %n</numerusform>
        </translation>
    </message>
    <message>
        <source>Folder successfully renamed</source>
        <translation>Ordner erfolgreich umbenannt</translation>
    </message>
    <message>
        <source>Created playlist</source>
        <translation>Wiedergabeliste erstellt</translation>
    </message>
    <message>
        <source>Renaming finished</source>
        <translation>Umbenennen beendet</translation>
    </message>
    <message>
        <source>Attempting to fix track numbers...</source>
        <translation>Tracknummern werden korrigiert...</translation>
    </message>
    <message>
        <source>Finished fixing track numbers. Refreshing...</source>
        <translation>Tracknummern korrigiert. Aktualisiere...</translation>
    </message>
    <message>
        <source>would collide with &quot;%1&quot;</source>
        <translation>würde mit &quot;%1&quot; kollidieren</translation>
    </message>
    <message>
        <source>Renamed %1 of %2 files</source>
        <translation>%1 von %2 Dateien umbenannt</translation>
    </message>
    <message>
        <source>; %1 could not be renamed</source>
        <translation>; %1 konnten nicht umbenannt werden</translation>
    </message>
    <message>
        <source>; tags could not be written to %1</source>
        <translation>; in %1 konnten keine Tags geschrieben werden</translation>
    </message>
    <message>
        <source>; the folder was not renamed</source>
        <translation>; der Ordner wurde nicht umbenannt</translation>
    </message>
    <message>
        <source>; the playlist was not written</source>
        <translation>; die Wiedergabeliste wurde nicht geschrieben</translation>
    </message>
    <message>
        <source>; files without a title kept their names: %1</source>
        <translation>; Dateien ohne Titel haben ihren Namen behalten: %1</translation>
    </message>
    <message>
        <source>; the run stopped: %1</source>
        <translation>; der Lauf wurde angehalten: %1</translation>
    </message>
    <message>
        <source>unknown exception</source>
        <translation>unbekannte Ausnahme</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>unbekannter Fehler</translation>
    </message>
    <message>
        <source>already exists</source>
        <translation>existiert bereits</translation>
    </message>
    <message>
        <source>Undo left the cover &quot;%1&quot;: it was changed since</source>
        <translation>Rückgängig hat das Cover &quot;%1&quot; gelassen: es wurde inzwischen geändert</translation>
    </message>
    <message>
        <source>Cover &quot;%1&quot; removed</source>
        <translation>Cover &quot;%1&quot; entfernt</translation>
    </message>
    <message>
        <source>Undo left the cover &quot;%1&quot; (%2)</source>
        <translation>Rückgängig hat das Cover &quot;%1&quot; gelassen (%2)</translation>
    </message>
    <message>
        <source>; the cover was not saved</source>
        <translation>; das Cover wurde nicht gespeichert</translation>
    </message>
    <message>
        <source>Kept the existing &quot;%1&quot;</source>
        <translation>Vorhandene Datei &quot;%1&quot; behalten</translation>
    </message>
    <message>
        <source>Saved the front cover as &quot;%1&quot;; the old one is now &quot;%2&quot;</source>
        <translation>Frontcover als &quot;%1&quot; gespeichert; das alte heißt jetzt &quot;%2&quot;</translation>
    </message>
    <message>
        <source>Saved the front cover as &quot;%1&quot;</source>
        <translation>Frontcover als &quot;%1&quot; gespeichert</translation>
    </message>
    <message>
        <source>Cover error: &quot;%1&quot;</source>
        <translation>Cover-Fehler: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>The playlist that was there is now &quot;%1&quot;</source>
        <translation>Die Wiedergabeliste, die dort war, heißt jetzt &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Another Cantorix run is renaming this album</source>
        <translation>Ein anderer Cantorix-Lauf benennt dieses Album gerade um</translation>
    </message>
    <message>
        <source>Removed &quot;%1&quot;, a copy a killed run left</source>
        <translation>&quot;%1&quot; entfernt, eine Kopie, die ein abgebrochener Lauf hinterlassen hat</translation>
    </message>
    <message>
        <source>not written: the file is a link</source>
        <translation>nicht geschrieben: die Datei ist ein Link</translation>
    </message>
    <message>
        <source>&quot;%1&quot; has %2 names (hard links): the tags change under all of them</source>
        <translation>&quot;%1&quot; hat %2 Namen (harte Links): die Tags ändern sich unter allen</translation>
    </message>
</context>
<context>
    <name>ResultsAlignment</name>
    <message>
        <source>Fake track?</source>
        <translation>Überzählige Datei?</translation>
    </message>
    <message>
        <source>Missing track?</source>
        <translation>Fehlende Datei?</translation>
    </message>
</context>
<context>
    <name>ServerList</name>
    <message>
        <source>The reply named no HTTP server on port 80; the server list was not changed</source>
        <translation>Die Antwort nannte keinen HTTP-Server an Port 80; die Serverliste wurde nicht geändert</translation>
    </message>
    <message>
        <source>No answer from %1 within %2 seconds</source>
        <translation>Keine Antwort von %1 innerhalb von %2 Sekunden</translation>
    </message>
</context>
<context>
    <name>ServerSetting</name>
    <message>
        <source>A server address cannot hold spaces</source>
        <translation>Eine Serveradresse darf keine Leerzeichen enthalten</translation>
    </message>
    <message>
        <source>A server address begins with http:// or https://</source>
        <translation>Eine Serveradresse beginnt mit http:// oder https://</translation>
    </message>
    <message>
        <source>A server address holds no &quot;?&quot;, &quot;#&quot; or &quot;@&quot;</source>
        <translation>Eine Serveradresse enthält kein &quot;?&quot;, &quot;#&quot; oder &quot;@&quot;</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535</source>
        <translation>Der Port muss eine Zahl von 1 bis 65535 sein</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no host name, host:port or http:// address</source>
        <translation>&quot;%1&quot; ist kein Hostname, kein Host:Port und keine http://-Adresse</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>The e-mail address &quot;%1&quot; holds white space or a control character; &quot;%2&quot; is sent instead</source>
        <translation>Die E-Mail-Adresse &quot;%1&quot; enthält Leer- oder Steuerzeichen; stattdessen wird &quot;%2&quot; gesendet</translation>
    </message>
    <message>
        <source>The e-mail address &quot;%1&quot; holds a quote or a backslash, which the server reads as part of its syntax; &quot;%2&quot; is sent instead</source>
        <translation>Die E-Mail-Adresse &quot;%1&quot; enthält ein Anführungszeichen oder einen Backslash, die der Server als Teil seiner Syntax liest; stattdessen wird &quot;%2&quot; gesendet</translation>
    </message>
</context>
<context>
    <name>cantorix</name>
    <message>
        <source>The AcoustID reply is not JSON</source>
        <translation>Die Antwort von AcoustID ist kein JSON</translation>
    </message>
    <message>
        <source>The AcoustID service reported an error</source>
        <translation>Der AcoustID-Dienst meldet einen Fehler</translation>
    </message>
    <message>
        <source>The AcoustID reply holds no results</source>
        <translation>Die Antwort von AcoustID enthält keine Ergebnisse</translation>
    </message>
    <message>
        <source>Fingerprints need the program fpcalc: install the package libchromaprint-tools</source>
        <translation>Fingerabdrücke brauchen das Programm fpcalc: Installieren Sie das Paket libchromaprint-tools</translation>
    </message>
</context>
<context>
    <name>cantorix::TAcoustidClient</name>
    <message>
        <source>No answer within %1 seconds</source>
        <translation>Keine Antwort binnen %1 Sekunden</translation>
    </message>
    <message>
        <source>The AcoustID server address is not usable: %1</source>
        <translation>Die Adresse des AcoustID-Servers ist nicht brauchbar: %1</translation>
    </message>
    <message>
        <source>AcoustID is busy (%1): asking again in %2 s</source>
        <translation>AcoustID ist ausgelastet (%1): neue Anfrage in %2 s</translation>
    </message>
    <message>
        <source>AcoustID: %1</source>
        <translation>AcoustID: %1</translation>
    </message>
    <message>
        <source>AcoustID answered %1</source>
        <translation>AcoustID antwortete %1</translation>
    </message>
</context>
<context>
    <name>cantorix::TAcoustidLookup</name>
    <message>
        <source>The AcoustID server address is not usable: %1</source>
        <translation>Die Adresse des AcoustID-Servers ist nicht brauchbar: %1</translation>
    </message>
    <message>
        <source>No files to fingerprint</source>
        <translation>Keine Dateien für Fingerabdrücke</translation>
    </message>
    <message>
        <source>No MusicBrainz reader for the release</source>
        <translation>Kein MusicBrainz-Leser für die Veröffentlichung</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 of %2 files fingerprinted (%3 kept from before)</source>
        <translation>%1 von %2 Dateien mit Fingerabdruck (%3 von früher)</translation>
    </message>
    <message>
        <source>No file could be fingerprinted</source>
        <translation>Von keiner Datei ließ sich ein Fingerabdruck erstellen</translation>
    </message>
    <message>
        <source>No answer from %1 within %2 seconds.
Check your connection, or try again later.</source>
        <translation>Keine Antwort von %1 binnen %2 Sekunden.
Prüfen Sie die Verbindung oder versuchen Sie es später erneut.</translation>
    </message>
    <message>
        <source>%1: no recording matches its fingerprint</source>
        <translation>%1: Keine Aufnahme passt zum Fingerabdruck</translation>
    </message>
    <message>
        <source>No fingerprint matched a release</source>
        <translation>Kein Fingerabdruck passte zu einer Veröffentlichung</translation>
    </message>
    <message>
        <source>%1 matching release media found</source>
        <translation>%1 passende Medien gefunden</translation>
    </message>
    <message>
        <source>No match chosen</source>
        <translation>Kein Treffer gewählt</translation>
    </message>
    <message>
        <source>No recording matches its fingerprint</source>
        <translation>Keine Aufnahme passt zum Fingerabdruck</translation>
    </message>
    <message>
        <source>Its recording is on no track of this release</source>
        <translation>Die Aufnahme ist auf keinem Titel dieser Veröffentlichung</translation>
    </message>
    <message>
        <source>Release read</source>
        <translation>Veröffentlichung gelesen</translation>
    </message>
    <message>
        <source>Track %1 is not on the release read</source>
        <translation>Titel %1 ist nicht auf der gelesenen Veröffentlichung</translation>
    </message>
    <message>
        <source>%1: not renamed: %2</source>
        <translation>%1: nicht umbenannt: %2</translation>
    </message>
    <message>
        <source>No file matched a track of the release read</source>
        <translation>Keine Datei passte zu einem Titel der gelesenen Veröffentlichung</translation>
    </message>
    <message>
        <source>Release read: %1 of %2 files matched</source>
        <translation>Veröffentlichung gelesen: %1 von %2 Dateien zugeordnet</translation>
    </message>
    <message>
        <source>Lookup cancelled</source>
        <translation>Abfrage abgebrochen</translation>
    </message>
</context>
<context>
    <name>cantorix::TAlbumBatch</name>
    <message>
        <source>The batch was cancelled</source>
        <translation>Die Umbenennung der Sammlung wurde abgebrochen</translation>
    </message>
    <message>
        <source>no audio files found</source>
        <translation>keine Audiodateien gefunden</translation>
    </message>
    <message>
        <source>renamed by an earlier run</source>
        <translation>von einem früheren Lauf umbenannt</translation>
    </message>
    <message>
        <source>a set of discs is looked up by its playing times</source>
        <translation>ein Album aus mehreren Discs wird nach seinen Spieldauern nachgeschlagen</translation>
    </message>
    <message>
        <source>the lookup did not start</source>
        <translation>die Abfrage hat nicht begonnen</translation>
    </message>
    <message>
        <source>disc %1: </source>
        <translation>Disc %1: </translation>
    </message>
    <message>
        <source>there are only %1 candidates</source>
        <translation>es gibt nur %1 Treffer</translation>
    </message>
    <message>
        <source>%1 candidates, none clearly the album</source>
        <translation>%1 Treffer, keiner eindeutig das Album</translation>
    </message>
    <message>
        <source>nothing to rename: no title stands beside a file</source>
        <translation>nichts umzubenennen: neben keiner Datei steht ein Titel</translation>
    </message>
    <message>
        <source>the discs name different albums: &quot;%1&quot; and &quot;%2&quot;</source>
        <translation>die Discs nennen verschiedene Alben: &quot;%1&quot; und &quot;%2&quot;</translation>
    </message>
    <message>
        <source>a disc of the album has no titles</source>
        <translation>eine Disc des Albums hat keine Titel</translation>
    </message>
    <message>
        <source>kept the existing &quot;%1&quot;</source>
        <translation>vorhandene Datei &quot;%1&quot; behalten</translation>
    </message>
</context>
<context>
    <name>cantorix::TAlbumTableModel</name>
    <message>
        <source>Filename</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>TrackNo</source>
        <translation>Track-Nr.</translation>
    </message>
    <message>
        <source>Track</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>New name</source>
        <translation>Neuer Name</translation>
    </message>
    <message>
        <source>shortened to fit the file system</source>
        <translation>für das Dateisystem gekürzt</translation>
    </message>
    <message>
        <source>no title: keeps its name</source>
        <translation>kein Titel: behält seinen Namen</translation>
    </message>
    <message>
        <source>the format gives no name: keeps its name</source>
        <translation>das Format ergibt keinen Namen: behält seinen Namen</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>unverändert</translation>
    </message>
</context>
<context>
    <name>cantorix::TAlbumWorkflow</name>
    <message>
        <source>The query by name was abandoned: the folder was listed anew</source>
        <translation>Die Abfrage nach Namen wurde verworfen: der Ordner wurde neu eingelesen</translation>
    </message>
    <message>
        <source>The lookup was abandoned: the folder was listed anew</source>
        <translation>Die Abfrage wurde verworfen: der Ordner wurde neu eingelesen</translation>
    </message>
    <message>
        <source>%1 of %2 files have no playing time (shown as --:--); the disc ID counts them as 0 seconds and will likely find no match</source>
        <translation>%1 von %2 Dateien haben keine Spieldauer (als --:-- angezeigt); die Disc-ID zählt sie mit 0 Sekunden und findet wahrscheinlich keinen Treffer</translation>
    </message>
    <message>
        <source>The lookup was cancelled</source>
        <translation>Die Abfrage wurde abgebrochen</translation>
    </message>
    <message>
        <source>The titles were not applied: the folder was listed anew</source>
        <translation>Die Titel wurden nicht übernommen: der Ordner wurde neu eingelesen</translation>
    </message>
    <message>
        <source>No title stands beside a file: nothing to rename</source>
        <translation>Neben keiner Datei steht ein Titel: nichts umzubenennen</translation>
    </message>
    <message>
        <source>Ready to rename</source>
        <translation>Bereit zum Umbenennen</translation>
    </message>
    <message>
        <source>the entry &quot;%1&quot; is not a regular file</source>
        <translation>der Eintrag &quot;%1&quot; ist keine reguläre Datei</translation>
    </message>
    <message>
        <source>cannot read the entry &quot;%1&quot;: %2</source>
        <translation>der Eintrag &quot;%1&quot; kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>the entry &quot;%1&quot; is too large</source>
        <translation>der Eintrag &quot;%1&quot; ist zu groß</translation>
    </message>
    <message>
        <source>the entry &quot;%1&quot; has neither a DISCID nor a title</source>
        <translation>der Eintrag &quot;%1&quot; hat weder eine DISCID noch einen Titel</translation>
    </message>
    <message>
        <source>The folder was listed anew: nothing was renamed</source>
        <translation>Der Ordner wurde neu eingelesen: nichts wurde umbenannt</translation>
    </message>
    <message>
        <source>This database cannot look a set of discs up whole</source>
        <translation>Diese Datenbank kann ein Album aus mehreren Discs nicht als Ganzes nachschlagen</translation>
    </message>
    <message>
        <source>%1 cannot search by artist and album</source>
        <translation>%1 kann nicht nach Interpret und Album suchen</translation>
    </message>
</context>
<context>
    <name>cantorix::TBatchForm</name>
    <message>
        <source>Would be renamed</source>
        <translation>Würde umbenannt</translation>
    </message>
    <message>
        <source>Renamed</source>
        <translation>Umbenannt</translation>
    </message>
    <message>
        <source>Renamed before</source>
        <translation>Schon früher umbenannt</translation>
    </message>
    <message>
        <source>No match</source>
        <translation>Kein Treffer</translation>
    </message>
    <message numerus="yes">
        <source>Ambiguous (%n candidates)</source>
        <translation>
            <numerusform>Mehrdeutig (%n Treffer)</numerusform>
            <numerusform>Mehrdeutig (%n Treffer)</numerusform>
        </translation>
    </message>
    <message>
        <source>Refused</source>
        <translation>Abgelehnt</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Abgebrochen</translation>
    </message>
    <message>
        <source>would rename %1</source>
        <translation>würde %1 umbenennen</translation>
    </message>
    <message>
        <source>renamed %1</source>
        <translation>%1 umbenannt</translation>
    </message>
    <message>
        <source>skipped %1</source>
        <translation>%1 übersprungen</translation>
    </message>
    <message>
        <source>no match %1</source>
        <translation>kein Treffer für %1</translation>
    </message>
    <message>
        <source>ambiguous %1</source>
        <translation>%1 mehrdeutig</translation>
    </message>
    <message>
        <source>refused %1</source>
        <translation>%1 abgelehnt</translation>
    </message>
    <message>
        <source>failed %1</source>
        <translation>%1 fehlgeschlagen</translation>
    </message>
    <message>
        <source>cancelled %1</source>
        <translation>%1 abgebrochen</translation>
    </message>
    <message>
        <source>Rename a collection</source>
        <translation>Sammlung umbenennen</translation>
    </message>
    <message>
        <source>Albums under &quot;%1&quot;</source>
        <translation>Alben in &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>&amp;Open in main window</source>
        <translation>Im Hauptfenster ö&amp;ffnen</translation>
    </message>
    <message>
        <source>&amp;Undo the batch</source>
        <translation>Alles &amp;rückgängig machen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Waiting</source>
        <translation>Wartet</translation>
    </message>
    <message>
        <source>No album folders found.</source>
        <translation>Keine Albumordner gefunden.</translation>
    </message>
    <message numerus="yes">
        <source>%n albums found.</source>
        <translation>
            <numerusform>%n Album gefunden.</numerusform>
            <numerusform>%n Alben gefunden.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Renaming the collection under &quot;%1&quot;: %n albums</source>
        <translation>
            <numerusform>Die Sammlung in &quot;%1&quot; wird umbenannt: %n Album</numerusform>
            <numerusform>Die Sammlung in &quot;%1&quot; wird umbenannt: %n Alben</numerusform>
        </translation>
    </message>
    <message>
        <source>Looking up%1</source>
        <translation>Wird nachgeschlagen%1</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n albums renamed</source>
        <translation>
            <numerusform>%1 von %n Album umbenannt</numerusform>
            <numerusform>%1 von %n Alben umbenannt</numerusform>
        </translation>
    </message>
    <message>
        <source>Undone</source>
        <translation>Rückgängig gemacht</translation>
    </message>
    <message numerus="yes">
        <source>Undone: %n albums</source>
        <translation>
            <numerusform>Rückgängig gemacht: %n Album</numerusform>
            <numerusform>Rückgängig gemacht: %n Alben</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %n left alone (see the log)</source>
        <translation>
            <numerusform>; %n nicht zurückverschoben (siehe Protokoll)</numerusform>
            <numerusform>; %n nicht zurückverschoben (siehe Protokoll)</numerusform>
        </translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Ambiguous (one candidate)</source>
        <translation>Mehrdeutig (ein Treffer)</translation>
    </message>
    <message>
        <source>One album found.</source>
        <translation>Ein Album gefunden.</translation>
    </message>
    <message>
        <source>Renaming the collection under &quot;%1&quot;: one album</source>
        <translation>Die Sammlung in &quot;%1&quot; wird umbenannt: ein Album</translation>
    </message>
    <message>
        <source>%1 of one album renamed</source>
        <translation>%1 von einem Album umbenannt</translation>
    </message>
    <message>
        <source>Undone: one album</source>
        <translation>Rückgängig gemacht: ein Album</translation>
    </message>
    <message>
        <source>; one left alone (see the log)</source>
        <translation>; eines nicht zurückverschoben (siehe Protokoll)</translation>
    </message>
</context>
<context>
    <name>cantorix::TChecksumLookup</name>
    <message>
        <source>Connection timed out!</source>
        <translation>Zeitüberschreitung der Verbindung!</translation>
    </message>
    <message>
        <source>It seems that you have problems connecting to the freedb.<byte value="xd"/>
Check your connection and try to use a different freedb server - <byte value="xd"/>
you can change it from the Cantorix options.</source>
        <translation>Offenbar gibt es Probleme bei der Verbindung zur freedb.<byte value="xd"/>
Prüfen Sie Ihre Verbindung und versuchen Sie einen anderen freedb-Server -<byte value="xd"/>
Sie können ihn in den Cantorix-Optionen ändern.</translation>
    </message>
    <message>
        <source>The lookup was cancelled</source>
        <translation>Die Abfrage wurde abgebrochen</translation>
    </message>
    <message>
        <source>No answer from %1 within %2 seconds.<byte value="xd"/>
</source>
        <translation>Keine Antwort von %1 innerhalb von %2 Sekunden.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>A late reply from %1 was ignored</source>
        <translation>Eine verspätete Antwort von %1 wurde ignoriert</translation>
    </message>
    <message>
        <source>Showing the first %1 of %2 matches</source>
        <translation>Die ersten %1 von %2 Treffern werden gezeigt</translation>
    </message>
    <message>
        <source>No match chosen</source>
        <translation>Kein Treffer gewählt</translation>
    </message>
    <message>
        <source>The entry is corrupt</source>
        <translation>Der Eintrag ist beschädigt</translation>
    </message>
</context>
<context>
    <name>cantorix::TCoverArtFetch</name>
    <message>
        <source>Invalid cover art server address &quot;%1&quot;</source>
        <translation>Ungültige Adresse des Cover-Servers &quot;%1&quot;</translation>
    </message>
    <message>
        <source>No cover: &quot;%1&quot; is no MusicBrainz release ID</source>
        <translation>Kein Cover: &quot;%1&quot; ist keine MusicBrainz-Veröffentlichungs-ID</translation>
    </message>
    <message>
        <source>The release has no front cover</source>
        <translation>Die Veröffentlichung hat kein Frontcover</translation>
    </message>
    <message>
        <source>The cover is no JPEG image</source>
        <translation>Das Cover ist kein JPEG-Bild</translation>
    </message>
</context>
<context>
    <name>cantorix::TFingerprinter</name>
    <message>
        <source>Not a file</source>
        <translation>Keine Datei</translation>
    </message>
    <message>
        <source>fpcalc gave no result within %1 seconds</source>
        <translation>fpcalc lieferte binnen %1 Sekunden kein Ergebnis</translation>
    </message>
    <message>
        <source>fpcalc printed more than a fingerprint</source>
        <translation>fpcalc gab mehr als einen Fingerabdruck aus</translation>
    </message>
    <message>
        <source>Too short to identify (%1 s)</source>
        <translation>Zu kurz zum Erkennen (%1 s)</translation>
    </message>
    <message>
        <source>fpcalc could not fingerprint the file</source>
        <translation>fpcalc konnte keinen Fingerabdruck der Datei erstellen</translation>
    </message>
    <message>
        <source>fpcalc: %1</source>
        <translation>fpcalc: %1</translation>
    </message>
</context>
<context>
    <name>cantorix::TInfoForm</name>
    <message>
        <source>A file name cannot hold &quot;/&quot;</source>
        <translation>Ein Dateiname darf kein &quot;/&quot; enthalten</translation>
    </message>
    <message>
        <source>A file name cannot hold control characters</source>
        <translation>Ein Dateiname darf keine Steuerzeichen enthalten</translation>
    </message>
    <message>
        <source>&quot;.&quot; and &quot;..&quot; name folders, not files</source>
        <translation>&quot;.&quot; und &quot;..&quot; bezeichnen Ordner, keine Dateien</translation>
    </message>
    <message>
        <source>File information and manual rename</source>
        <translation>Dateiinformationen und manuelles Umbenennen</translation>
    </message>
    <message>
        <source>C&amp;urrent filename:</source>
        <translation>&amp;Aktueller Dateiname:</translation>
    </message>
    <message>
        <source>&amp;New filename:</source>
        <translation>&amp;Neuer Dateiname:</translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <translation>&amp;Umbenennen</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Informationen</translation>
    </message>
    <message>
        <source>Artist:</source>
        <translation>Interpret:</translation>
    </message>
    <message>
        <source>Album:</source>
        <translation>Album:</translation>
    </message>
    <message>
        <source>Title:</source>
        <translation>Titel:</translation>
    </message>
    <message>
        <source>Year:</source>
        <translation>Jahr:</translation>
    </message>
    <message>
        <source>Genre:</source>
        <translation>Genre:</translation>
    </message>
    <message>
        <source>Track:</source>
        <translation>Tracknummer:</translation>
    </message>
    <message>
        <source>Duration:</source>
        <translation>Dauer:</translation>
    </message>
    <message>
        <source>Bitrate:</source>
        <translation>Bitrate:</translation>
    </message>
    <message>
        <source>Samplerate:</source>
        <translation>Abtastrate:</translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation>Kanäle:</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Größe:</translation>
    </message>
    <message>
        <source>Other:</source>
        <translation>Sonstiges:</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>Ab&amp;spielen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>That is no file name</source>
        <translation>Das ist kein Dateiname</translation>
    </message>
    <message>
        <source>Renamed to &quot;%1&quot;</source>
        <translation>Umbenannt in &quot;%1&quot;</translation>
    </message>
    <message>
        <source>No audio extension</source>
        <translation>Keine Audio-Endung</translation>
    </message>
    <message>
        <source>&quot;%1&quot; has no audio file extension.</source>
        <translation>&quot;%1&quot; hat keine Endung einer Audiodatei.</translation>
    </message>
    <message>
        <source>Without one the file is no longer listed with the album.</source>
        <translation>Ohne sie wird die Datei nicht mehr mit dem Album aufgeführt.</translation>
    </message>
    <message>
        <source>&amp;Add &quot;%1&quot;</source>
        <translation>&quot;%1&quot; &amp;anhängen</translation>
    </message>
    <message>
        <source>Rename as &amp;typed</source>
        <translation>&amp;Wie eingegeben umbenennen</translation>
    </message>
    <message>
        <source>Cannot rename &quot;%1&quot; to &quot;%2&quot;: %3</source>
        <translation>&quot;%1&quot; kann nicht in &quot;%2&quot; umbenannt werden: %3</translation>
    </message>
    <message>
        <source>Renaming failed</source>
        <translation>Umbenennen fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>cantorix::TLogPane</name>
    <message>
        <source>Copy selected to clipboard</source>
        <translation>Auswahl in die Zwischenablage kopieren</translation>
    </message>
    <message>
        <source>Save log</source>
        <translation>Protokoll speichern</translation>
    </message>
    <message>
        <source>Log files (*.log *.txt);;All files (*)</source>
        <translation>Protokolldateien (*.log *.txt);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Saved log to &quot;%1&quot;</source>
        <translation>Protokoll in &quot;%1&quot; gespeichert</translation>
    </message>
</context>
<context>
    <name>cantorix::TLookupStatus</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abbre&amp;chen</translation>
    </message>
    <message>
        <source>Ends the lookup (Esc)</source>
        <translation>Beendet die Abfrage (Esc)</translation>
    </message>
    <message>
        <source>Connecting%1</source>
        <translation>Verbindung wird aufgebaut%1</translation>
    </message>
    <message>
        <source>Querying the database%1</source>
        <translation>Datenbank wird abgefragt%1</translation>
    </message>
    <message>
        <source>Reading the album%1</source>
        <translation>Album wird gelesen%1</translation>
    </message>
    <message>
        <source>Fingerprinting %1 of %2</source>
        <translation>Fingerabdruck %1 von %2</translation>
    </message>
    <message>
        <source>Fingerprinting%1</source>
        <translation>Fingerabdrücke werden erstellt%1</translation>
    </message>
</context>
<context>
    <name>cantorix::TMainForm</name>
    <message>
        <source>The user guide is not installed</source>
        <translation>Das Benutzerhandbuch ist nicht installiert</translation>
    </message>
    <message>
        <source>rename files</source>
        <translation>Dateien umbenennen</translation>
    </message>
    <message>
        <source>write tags</source>
        <translation>Tags schreiben</translation>
    </message>
    <message>
        <source>write a playlist</source>
        <translation>Wiedergabeliste schreiben</translation>
    </message>
    <message>
        <source>rename the folder</source>
        <translation>Ordner umbenennen</translation>
    </message>
    <message>
        <source>Rename will %1.</source>
        <extracomment>%1 lists the steps, e.g. &quot;rename files, write tags&quot;</extracomment>
        <translation>Umbenennen wird: %1.</translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
    <message>
        <source>Cantorix: cannot write the settings file &quot;%1&quot;: %2</source>
        <translation>Cantorix: die Einstellungsdatei &quot;%1&quot; kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Renamed &quot;%1&quot; to &quot;%2&quot;</source>
        <translation>&quot;%1&quot; in &quot;%2&quot; umbenannt</translation>
    </message>
    <message>
        <source>New folder: &quot;%1&quot;</source>
        <translation>Neuer Ordner: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Playlist: &quot;%1&quot;</source>
        <translation>Wiedergabeliste: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Open folder</source>
        <translation>Ordner öffnen</translation>
    </message>
    <message>
        <source>Renaming</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Na&amp;me format:</source>
        <translation>Namens&amp;format:</translation>
    </message>
    <message>
        <source>Rename f&amp;older, format:</source>
        <translation>&amp;Ordner umbenennen, Format:</translation>
    </message>
    <message>
        <source>FreeDB info</source>
        <translation>FreeDB-Angaben</translation>
    </message>
    <message>
        <source>&amp;Artist:</source>
        <translation>&amp;Interpret:</translation>
    </message>
    <message>
        <source>&amp;Year:</source>
        <translation>&amp;Jahr:</translation>
    </message>
    <message>
        <source>Al&amp;bum:</source>
        <translation>Albu&amp;m:</translation>
    </message>
    <message>
        <source>&amp;Genre:</source>
        <translation>&amp;Genre:</translation>
    </message>
    <message>
        <source>O&amp;ptions</source>
        <translation>O&amp;ptionen</translation>
    </message>
    <message>
        <source>Rename by &amp;tag</source>
        <translation>Nach &amp;Tags umbenennen</translation>
    </message>
    <message>
        <source>Query mode</source>
        <translation>Abfragemodus</translation>
    </message>
    <message>
        <source>&amp;Name</source>
        <translation>&amp;Name</translation>
    </message>
    <message>
        <source>Chec&amp;ksum</source>
        <translation>Prüf&amp;summe</translation>
    </message>
    <message>
        <source>&amp;Database:</source>
        <translation>Datenban&amp;k:</translation>
    </message>
    <message>
        <source>freedb</source>
        <translation>freedb</translation>
    </message>
    <message>
        <source>MusicBrainz</source>
        <translation>MusicBrainz</translation>
    </message>
    <message>
        <source>&amp;Query</source>
        <translation>&amp;Abfragen</translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <translation>&amp;Umbenennen</translation>
    </message>
    <message>
        <source>Art&amp;ist:</source>
        <translation>Interpr&amp;et:</translation>
    </message>
    <message>
        <source>A&amp;lbum:</source>
        <translation>A&amp;lbum:</translation>
    </message>
    <message>
        <source>Refre&amp;sh</source>
        <translation>Aktualisie&amp;ren</translation>
    </message>
    <message>
        <source>Manual rename/file info</source>
        <translation>Manuell umbenennen/Dateiinfo</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Fix 1..9 to 01..09</source>
        <translation>1..9 zu 01..09 korrigieren</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Undo last rename</source>
        <translation>Letzte Umbenennung &amp;rückgängig machen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About Cantorix</source>
        <translation>Ü&amp;ber Cantorix</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Open folder…</source>
        <translation>Ordner ö&amp;ffnen…</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>&amp;Aktualisieren</translation>
    </message>
    <message>
        <source>&amp;Save log…</source>
        <translation>Protokoll &amp;speichern…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Rename a collection</source>
        <translation>Sammlung umbenennen</translation>
    </message>
    <message>
        <source>Rename a &amp;collection…</source>
        <translation>Sammlung &amp;umbenennen…</translation>
    </message>
    <message>
        <source>&amp;Undo the rename of %1 (%2 files)</source>
        <translation>Umbenennung vom %1 &amp;rückgängig machen (%2 Dateien)</translation>
    </message>
    <message>
        <source>Undo &amp;all renames of this album</source>
        <translation>&amp;Alle Umbenennungen dieses Albums rückgängig machen</translation>
    </message>
    <message>
        <source>freedb (gnudb) answers by the disc ID of the playing times or by a web search</source>
        <translation>freedb (gnudb) antwortet über die Disc-ID der Spieldauern oder über eine Websuche</translation>
    </message>
    <message>
        <source>MusicBrainz knows far more albums and matches playing times that are off by a few seconds</source>
        <translation>MusicBrainz kennt weit mehr Alben und erkennt auch Spieldauern, die um einige Sekunden abweichen</translation>
    </message>
    <message>
        <source>AcoustID (fingerprints)</source>
        <translation>AcoustID (Fingerabdrücke)</translation>
    </message>
    <message>
        <source>AcoustID knows the files by their sound: any order, partial albums, digital purchases</source>
        <translation>AcoustID erkennt die Dateien am Klang: jede Reihenfolge, Teilalben, digitale Käufe</translation>
    </message>
</context>
<context>
    <name>cantorix::TMatchForm</name>
    <message>
        <source>One album found</source>
        <translation>Ein Album gefunden</translation>
    </message>
    <message>
        <source>More than one album found</source>
        <translation>Mehr als ein Album gefunden</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>cantorix::TMbClient</name>
    <message>
        <source>No answer within %1 seconds</source>
        <translation>Keine Antwort innerhalb von %1 Sekunden</translation>
    </message>
    <message>
        <source>The service is busy (%1): asking again in %2 s as it says</source>
        <translation>Der Dienst ist ausgelastet (%1): neue Anfrage in %2 s, wie er verlangt</translation>
    </message>
    <message>
        <source>The service is busy (%1): asking again in %2 s</source>
        <translation>Der Dienst ist ausgelastet (%1): neue Anfrage in %2 s</translation>
    </message>
</context>
<context>
    <name>cantorix::TMbReleaseReader</name>
    <message>
        <source>The MusicBrainz server address is not usable: %1</source>
        <translation>Die Adresse des MusicBrainz-Servers ist nicht brauchbar: %1</translation>
    </message>
    <message>
        <source>No MusicBrainz release ID: %1</source>
        <translation>Keine MusicBrainz-ID einer Veröffentlichung: %1</translation>
    </message>
    <message>
        <source>another release came</source>
        <translation>eine andere Veröffentlichung kam</translation>
    </message>
    <message>
        <source>Invalid reply from MusicBrainz: %1</source>
        <translation>Ungültige Antwort von MusicBrainz: %1</translation>
    </message>
    <message>
        <source>The release has no medium %1 with tracks</source>
        <translation>Die Veröffentlichung hat kein Medium %1 mit Titeln</translation>
    </message>
    <message>
        <source>Release read</source>
        <translation>Veröffentlichung gelesen</translation>
    </message>
    <message>
        <source>Release read: %1</source>
        <translation>Veröffentlichung gelesen: %1</translation>
    </message>
</context>
<context>
    <name>cantorix::TMusicBrainzLookup</name>
    <message>
        <source>Invalid MusicBrainz server address &quot;%1&quot;</source>
        <translation>Ungültige MusicBrainz-Serveradresse &quot;%1&quot;</translation>
    </message>
    <message>
        <source>No MusicBrainz lookup: %1</source>
        <translation>Keine MusicBrainz-Abfrage: %1</translation>
    </message>
    <message>
        <source>Nothing to search for: enter the artist or the album</source>
        <translation>Nichts zu suchen: geben Sie den Interpreten oder das Album ein</translation>
    </message>
    <message>
        <source>MusicBrainz disc ID %1, exact (from the sample counts of a CD rip)</source>
        <translation>MusicBrainz-Disc-ID %1, exakt (aus den Sample-Zahlen eines CD-Rips)</translation>
    </message>
    <message>
        <source>MusicBrainz disc ID %1, from the playing times: releases are matched by their track lengths</source>
        <translation>MusicBrainz-Disc-ID %1, aus den Spieldauern: Veröffentlichungen werden nach ihren Titellängen zugeordnet</translation>
    </message>
    <message>
        <source>The lookup was cancelled</source>
        <translation>Die Abfrage wurde abgebrochen</translation>
    </message>
    <message>
        <source>No answer from %1 within %2 seconds.
Check your connection, or try again later or with another MusicBrainz server in the options.</source>
        <translation>Keine Antwort von %1 innerhalb von %2 Sekunden.
Prüfen Sie Ihre Verbindung oder versuchen Sie es später erneut oder mit einem anderen MusicBrainz-Server in den Optionen.</translation>
    </message>
    <message>
        <source>No match found</source>
        <translation>Kein Treffer gefunden</translation>
    </message>
    <message>
        <source>Invalid reply from MusicBrainz: %1</source>
        <translation>Ungültige Antwort von MusicBrainz: %1</translation>
    </message>
    <message>
        <source>%1 releases found, none with a medium of %2 tracks</source>
        <translation>%1 Veröffentlichungen gefunden, keine mit einem Medium mit %2 Titeln</translation>
    </message>
    <message>
        <source>%1 matching releases found</source>
        <translation>%1 passende Veröffentlichungen gefunden</translation>
    </message>
    <message>
        <source>No match chosen</source>
        <translation>Kein Treffer gewählt</translation>
    </message>
    <message>
        <source>another release came</source>
        <translation>eine andere Veröffentlichung kam</translation>
    </message>
    <message>
        <source>The release has no medium of %1 tracks</source>
        <translation>Die Veröffentlichung hat kein Medium mit %1 Titeln</translation>
    </message>
    <message>
        <source>No medium has %1 tracks: the titles of medium %2 (%3 tracks) are offered for pairing</source>
        <translation>Kein Medium hat %1 Titel: die Titel von Medium %2 (%3 Titel) werden zum Zuordnen angeboten</translation>
    </message>
    <message>
        <source>Release read</source>
        <translation>Veröffentlichung gelesen</translation>
    </message>
    <message>
        <source>Release read: %1</source>
        <translation>Veröffentlichung gelesen: %1</translation>
    </message>
    <message>
        <source>%1 releases found, none whose media match the %2 discs</source>
        <translation>%1 Veröffentlichungen gefunden, keine, deren Medien zu den %2 Discs passen</translation>
    </message>
    <message>
        <source>The release&apos;s media do not match the %1 discs</source>
        <translation>Die Medien der Veröffentlichung passen nicht zu den %1 Discs</translation>
    </message>
</context>
<context>
    <name>cantorix::TOptionsForm</name>
    <message>
        <source>No folder specified</source>
        <translation>Kein Ordner festgelegt</translation>
    </message>
    <message>
        <source>Select a folder:</source>
        <translation>Ordner wählen:</translation>
    </message>
    <message>
        <source>Cantorix options</source>
        <translation>Cantorix-Optionen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>FreeDB</source>
        <translation>FreeDB</translation>
    </message>
    <message>
        <source>A host name, host:port, or an http:// or https:// address</source>
        <translation>Ein Hostname, Host:Port oder eine http://- oder https://-Adresse</translation>
    </message>
    <message>
        <source>&amp;Query FreeDB servers</source>
        <translation>FreeDB-Server abf&amp;ragen</translation>
    </message>
    <message>
        <source>&amp;Server:</source>
        <translation>&amp;Server:</translation>
    </message>
    <message>
        <source>&amp;E-mail:</source>
        <translation>&amp;E-Mail:</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>Time-o&amp;ut:</source>
        <translation>&amp;Zeitlimit:</translation>
    </message>
    <message>
        <source>The web search of the name query; %s stands for the words searched for</source>
        <translation>Die Websuche der Abfrage nach Namen; %s steht für die Suchwörter</translation>
    </message>
    <message>
        <source>Search &amp;address:</source>
        <translation>Such&amp;adresse:</translation>
    </message>
    <message>
        <source>&amp;Hide data exchange</source>
        <translation>&amp;Datenaustausch ausblenden</translation>
    </message>
    <message>
        <source>The MusicBrainz web service: a host name or an http:// or https:// address</source>
        <translation>Der MusicBrainz-Webdienst: ein Hostname oder eine http://- oder https://-Adresse</translation>
    </message>
    <message>
        <source>The Cover Art Archive, where album covers come from</source>
        <translation>Das Cover Art Archive, aus dem die Albumcover kommen</translation>
    </message>
    <message>
        <source>Ser&amp;vice:</source>
        <translation>Diens&amp;t:</translation>
    </message>
    <message>
        <source>Cover ima&amp;ges:</source>
        <translation>&amp;Coverbilder:</translation>
    </message>
    <message>
        <source>Proxy</source>
        <translation>Proxy</translation>
    </message>
    <message>
        <source>Use &amp;proxy to connect</source>
        <translation>&amp;Proxy für die Verbindung verwenden</translation>
    </message>
    <message>
        <source>A&amp;ddress:</source>
        <translation>&amp;Host:</translation>
    </message>
    <message>
        <source>P&amp;ort:</source>
        <translation>P&amp;ort:</translation>
    </message>
    <message>
        <source>User&amp;name:</source>
        <translation>Benutzer&amp;name:</translation>
    </message>
    <message>
        <source>Pass&amp;word:</source>
        <translation>&amp;Kennwort:</translation>
    </message>
    <message>
        <source>&amp;Connection</source>
        <translation>&amp;Verbindung</translation>
    </message>
    <message>
        <source>Starting folder</source>
        <translation>Startordner</translation>
    </message>
    <message>
        <source>Specify starting &amp;folder…</source>
        <translation>Start&amp;ordner festlegen…</translation>
    </message>
    <message>
        <source>&amp;Use current</source>
        <translation>&amp;Aktuellen verwenden</translation>
    </message>
    <message>
        <source>Filegrid double-click</source>
        <translation>Doppelklick in der Dateiliste</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>Ab&amp;spielen</translation>
    </message>
    <message>
        <source>&amp;Info/manual rename</source>
        <translation>&amp;Info/manuell umbenennen</translation>
    </message>
    <message>
        <source>File manager</source>
        <translation>Dateimanager</translation>
    </message>
    <message>
        <source>Offers &quot;Cantorix&quot; in the &quot;Open with&quot; menu of every folder in the file manager.</source>
        <translation>Bietet „Cantorix“ im Menü „Öffnen mit“ jedes Ordners im Dateimanager an.</translation>
    </message>
    <message>
        <source>&amp;Main</source>
        <translation>All&amp;gemein</translation>
    </message>
    <message>
        <source>Name &amp;formats:</source>
        <translation>Namens&amp;formate:</translation>
    </message>
    <message>
        <source>F&amp;ormat:</source>
        <translation>F&amp;ormat:</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>R&amp;emove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>&amp;Write tag if possible</source>
        <translation>&amp;Tags schreiben, wenn möglich</translation>
    </message>
    <message>
        <source>Replace &amp;underscores with spaces (double spaces will be fixed automatically)</source>
        <translation>Unterstriche durch &amp;Leerzeichen ersetzen (doppelte Leerzeichen werden automatisch bereinigt)</translation>
    </message>
    <message>
        <source>Create play&amp;list</source>
        <translation>&amp;Wiedergabeliste erstellen</translation>
    </message>
    <message>
        <source>Save the front cover of MusicBrainz albums as folder.&amp;jpg</source>
        <translation>Frontcover von MusicBrainz-Alben als folder.&amp;jpg speichern</translation>
    </message>
    <message>
        <source>&amp;Renaming</source>
        <translation>&amp;Umbenennen</translation>
    </message>
    <message>
        <source>&lt;b&gt;Cantorix %1&lt;/b&gt;&lt;br&gt;Names the files of ripped audio albums.</source>
        <translation>&lt;b&gt;Cantorix %1&lt;/b&gt;&lt;br&gt;Benennt die Dateien gerippter Audioalben.</translation>
    </message>
    <message>
        <source>User guide (readme)</source>
        <translation>Benutzerhandbuch (Liesmich)</translation>
    </message>
    <message>
        <source>The freedb music database: gnudb.org</source>
        <translation>Die Musikdatenbank freedb: gnudb.org</translation>
    </message>
    <message>
        <source>GNU General Public License, version 3 or later</source>
        <translation>GNU General Public License, Version 3 oder neuer</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Abou&amp;t</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>Remove &amp;shell shortcut</source>
        <translation>Eintrag im &amp;Dateimanager entfernen</translation>
    </message>
    <message>
        <source>Create &amp;shell shortcut</source>
        <translation>Eintrag im &amp;Dateimanager anlegen</translation>
    </message>
    <message>
        <source>The user guide is not installed</source>
        <translation>Das Benutzerhandbuch ist nicht installiert</translation>
    </message>
    <message>
        <source>Asking %1 for its server list%2</source>
        <translation>%1 wird nach seiner Serverliste gefragt%2</translation>
    </message>
    <message>
        <source>The server list was not changed: %1</source>
        <translation>Die Serverliste wurde nicht geändert: %1</translation>
    </message>
    <message>
        <source>%1 servers in the list; the server is %2</source>
        <translation>%1 Server in der Liste; der Server ist %2</translation>
    </message>
    <message>
        <source>Cannot write the settings file &quot;%1&quot;: %2</source>
        <translation>Die Einstellungsdatei &quot;%1&quot; kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Cannot remove the folder entry &quot;%1&quot;: %2</source>
        <translation>Der Ordnereintrag &quot;%1&quot; kann nicht entfernt werden: %2</translation>
    </message>
    <message>
        <source>Cannot create the folder entry &quot;%1&quot;: %2</source>
        <translation>Der Ordnereintrag &quot;%1&quot; kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>Removed the folder entry &quot;%1&quot;</source>
        <translation>Ordnereintrag &quot;%1&quot; entfernt</translation>
    </message>
    <message>
        <source>Created the folder entry &quot;%1&quot;</source>
        <translation>Ordnereintrag &quot;%1&quot; angelegt</translation>
    </message>
    <message>
        <source>You can use following keywords:
artist album track year # trackartist disc
Character case does not matter. You will see sample of the name below. Create the name form that you want and press &quot;Add&quot; button to add format to the listbox.</source>
        <translation>Sie können folgende Schlüsselwörter verwenden:
artist album track year # trackartist disc
Groß- und Kleinschreibung spielen keine Rolle. Unten sehen Sie ein Beispiel des Namens. Stellen Sie die gewünschte Namensform zusammen und drücken Sie „Hinzufügen“, um das Format in die Liste aufzunehmen.</translation>
    </message>
    <message>
        <source>Names for FAT/exFAT/NTFS &amp;devices</source>
        <translation>&amp;Namen für FAT-/exFAT-/NTFS-Geräte</translation>
    </message>
    <message>
        <source>No &lt; &gt; : &quot; \ | ? * in names, no dot or space at their end, no reserved names such as CON or NUL, at most 255 characters: what players and car stereos read</source>
        <translation>Keine Zeichen &lt; &gt; : &quot; \ | ? * in Namen, kein Punkt oder Leerzeichen am Ende, keine reservierten Namen wie CON oder NUL, höchstens 255 Zeichen: was Player und Autoradios lesen</translation>
    </message>
    <message>
        <source>F&amp;ingerprint service:</source>
        <translation>F&amp;ingerabdruck-Dienst:</translation>
    </message>
    <message>
        <source>The AcoustID web service: a host name or an http:// or https:// address</source>
        <translation>Der AcoustID-Webdienst: ein Hostname oder eine http://- oder https://-Adresse</translation>
    </message>
    <message>
        <source>Application &amp;key:</source>
        <translation>Anwendungsschlüsse&amp;l:</translation>
    </message>
    <message>
        <source>The key of an application registered on the AcoustID site</source>
        <translation>Der Schlüssel einer auf der AcoustID-Website registrierten Anwendung</translation>
    </message>
</context>
<context>
    <name>cantorix::TRenameByTagForm</name>
    <message>
        <source>Rename by tag</source>
        <translation>Nach Tags umbenennen</translation>
    </message>
    <message>
        <source>&amp;Proposed names (double-click or F2 to change one):</source>
        <translation>&amp;Vorgeschlagene Namen (Doppelklick oder F2 zum Ändern):</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Bisheriger Name</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neuer Name</translation>
    </message>
    <message>
        <source>&amp;Accept and rename</source>
        <translation>Ü&amp;bernehmen und umbenennen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Keeps its name</source>
        <translation>Behält seinen Namen</translation>
    </message>
    <message>
        <source>The tags give no track number: the name has an empty place where it goes</source>
        <translation>Die Tags enthalten keine Tracknummer: der Name hat an ihrer Stelle eine Lücke</translation>
    </message>
</context>
<context>
    <name>cantorix::TResultsForm</name>
    <message>
        <source>Sort results...</source>
        <translation>Ergebnisse sortieren...</translation>
    </message>
    <message>
        <source>&amp;FreeDB track names:</source>
        <translation>&amp;FreeDB-Titel:</translation>
    </message>
    <message>
        <source>&amp;Current track names:</source>
        <translation>&amp;Aktuelle Dateinamen:</translation>
    </message>
    <message>
        <source>&amp;Up</source>
        <translation>Nach &amp;oben</translation>
    </message>
    <message>
        <source>&amp;Down</source>
        <translation>Nach &amp;unten</translation>
    </message>
    <message>
        <source>Move the selected file up (Alt+Up)</source>
        <translation>Die gewählte Datei nach oben schieben (Alt+Auf)</translation>
    </message>
    <message>
        <source>Move the selected file down (Alt+Down)</source>
        <translation>Die gewählte Datei nach unten schieben (Alt+Ab)</translation>
    </message>
    <message>
        <source>&amp;Accept</source>
        <translation>Ü&amp;bernehmen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>cli</name>
    <message>
        <source>no MusicBrainz disc ID: %1</source>
        <translation>keine MusicBrainz-Disc-ID: %1</translation>
    </message>
    <message>
        <source>no such file: &quot;%1&quot;</source>
        <translation>keine solche Datei: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>not a file: &quot;%1&quot;</source>
        <translation>keine Datei: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>rename needs one of --entry FILE, --lookup and --search</source>
        <translation>rename braucht eine der Optionen --entry DATEI, --lookup und --search</translation>
    </message>
    <message>
        <source>--server, --match and --musicbrainz belong to --lookup or --search</source>
        <translation>--server, --match und --musicbrainz gehören zu --lookup oder --search</translation>
    </message>
    <message>
        <source>--artist, --album and --search-url belong to --search</source>
        <translation>--artist, --album und --search-url gehören zu --search</translation>
    </message>
    <message>
        <source>Run: cantorix-cli undo &quot;%1&quot;</source>
        <translation>Aufruf: cantorix-cli undo &quot;%1&quot;</translation>
    </message>
    <message>
        <source>no album data found</source>
        <translation>keine Albumdaten gefunden</translation>
    </message>
    <message>
        <source>nothing to rename: no title stands beside a file</source>
        <translation>nichts umzubenennen: neben keiner Datei steht ein Titel</translation>
    </message>
    <message>
        <source>shortened to fit the file system</source>
        <translation>für das Dateisystem gekürzt</translation>
    </message>
    <message>
        <source>no title: keeps its name</source>
        <translation>kein Titel: behält seinen Namen</translation>
    </message>
    <message>
        <source>the format gives no name: keeps its name</source>
        <translation>das Format ergibt keinen Namen: behält seinen Namen</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>unverändert</translation>
    </message>
    <message>
        <source>no track number</source>
        <translation>keine Tracknummer</translation>
    </message>
    <message>
        <source>%1 files renamed, %2 failed</source>
        <translation>%1 Dateien umbenannt, %2 fehlgeschlagen</translation>
    </message>
    <message>
        <source>the reply named no HTTP server on port 80 (%1 records)</source>
        <translation>die Antwort nannte keinen HTTP-Server an Port 80 (%1 Einträge)</translation>
    </message>
    <message>
        <source>no such folder: &quot;%1&quot;</source>
        <translation>kein solcher Ordner: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1 moved back, %2 left alone</source>
        <translation>%1 zurückverschoben, %2 gelassen</translation>
    </message>
    <message>
        <source>there are only %1 matches</source>
        <translation>es gibt nur %1 Treffer</translation>
    </message>
    <message>
        <source>nothing to search for: give --artist or --album</source>
        <translation>nichts zu suchen: geben Sie --artist oder --album an</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 braucht einen Wert</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>unbekannte Option %1</translation>
    </message>
    <message>
        <source>wrong number of arguments</source>
        <translation>falsche Anzahl von Argumenten</translation>
    </message>
    <message>
        <source>--match needs a number from 0</source>
        <translation>--match braucht eine Zahl ab 0</translation>
    </message>
    <message>
        <source>scan DIR                  list the audio files of DIR with their playing times</source>
        <translation>scan DIR                  die Audiodateien von DIR mit ihren Spieldauern auflisten</translation>
    </message>
    <message>
        <source>discid DIR                the freedb and MusicBrainz disc IDs, offsets and table of contents of DIR</source>
        <translation>discid DIR                Disc-IDs für freedb und MusicBrainz, Offsets und Inhaltsverzeichnis von DIR</translation>
    </message>
    <message>
        <source>search DIR [--artist A] [--album B] [--search-url T] [--server S | --musicbrainz
            [--mb-server URL]] [--match N]
                            look DIR up by artist and album on the freedb web search or in
                            MusicBrainz (words guessed from the first file unless given; N
                            picks among the matches, default 0)</source>
        <translation>search DIR [--artist A] [--album B] [--search-url T] [--server S | --musicbrainz
            [--mb-server URL]] [--match N]
                            DIR nach Interpret und Album in der freedb-Websuche oder in
                            MusicBrainz suchen (Wörter aus der ersten Datei geraten, wenn nicht
                            angegeben; N wählt unter den Treffern, Vorgabe 0)</translation>
    </message>
    <message>
        <source>fix-numbers DIR           pad one-digit numbers in the file names of DIR (1 -&gt; 01)</source>
        <translation>fix-numbers DIR           einstellige Nummern in den Dateinamen von DIR auffüllen (1 -&gt; 01)</translation>
    </message>
    <message>
        <source>info FILE                 show the technical and tag information of one audio file</source>
        <translation>info FILE                 technische Angaben und Tags einer Audiodatei zeigen</translation>
    </message>
    <message>
        <source>sites [--server S]        the freedb server list as the options window stores it</source>
        <translation>sites [--server S]        die freedb-Serverliste, wie das Optionsfenster sie speichert</translation>
    </message>
    <message>
        <source>usage: cantorix-cli COMMAND [ARGS] [--settings FILE]

commands:
</source>
        <translation>Aufruf: cantorix-cli BEFEHL [ARGUMENTE] [--settings DATEI]

Befehle:
</translation>
    </message>
    <message>
        <source>the settings file &quot;%1&quot; is not a regular file (%2)</source>
        <translation>die Einstellungsdatei &quot;%1&quot; ist keine reguläre Datei (%2)</translation>
    </message>
    <message>
        <source>unknown command %1</source>
        <translation>unbekannter Befehl %1</translation>
    </message>
    <message>
        <source>--entry names one album: it does not go with --recursive</source>
        <translation>--entry nennt ein einzelnes Album: es passt nicht zu --recursive</translation>
    </message>
    <message>
        <source>--artist and --album name one album: each album&apos;s words are guessed from its files</source>
        <translation>--artist und --album nennen ein einzelnes Album: die Suchwörter jedes Albums werden aus seinen Dateien erraten</translation>
    </message>
    <message>
        <source>rename --recursive needs a folder</source>
        <translation>rename --recursive braucht einen Ordner</translation>
    </message>
    <message>
        <source>rename --recursive needs one of --lookup and --search</source>
        <translation>rename --recursive braucht eine der Optionen --lookup und --search</translation>
    </message>
    <message>
        <source>--jobs needs a number from 1 to %1</source>
        <translation>--jobs braucht eine Zahl von 1 bis %1</translation>
    </message>
    <message>
        <source>cannot write the report &quot;%1&quot;: %2</source>
        <translation>der Bericht &quot;%1&quot; kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>no album folders found</source>
        <translation>keine Albumordner gefunden</translation>
    </message>
    <message>
        <source>album %1 of %2 %3 %4</source>
        <translation>Album %1 von %2 %3 %4</translation>
    </message>
    <message>
        <source>--folder-format needs a number from 0 to %1</source>
        <translation>--folder-format braucht eine Zahl von 0 bis %1</translation>
    </message>
    <message>
        <source>%1 belongs to --recursive</source>
        <translation>%1 gehört zu --recursive</translation>
    </message>
    <message>
        <source>Folders undone: %1</source>
        <translation>Rückgängig gemachte Ordner: %1</translation>
    </message>
    <message>
        <source>rename DIR (--entry FILE | --lookup [lookup options] | --search [search options])
         [--format F] [--folder-format N] [--rename-folder] [--write-tags] [--playlist]
         [--keep-underscores] [--portable-names] [--cover] [--dry-run]
                            rename the audio files of DIR by the name format and the album data
                            of an xmcd entry, a lookup or a search (N as for lookup); --cover saves
                            a MusicBrainz album&apos;s front cover as folder.jpg
rename ROOT... --recursive (--lookup | --search) [lookup options] [--report FILE] [--jobs N]
         [--verbose] [rename options]
                            every album folder under the ROOTs (CD1, Disc 2 ... subfolders make
                            one album), renamed only when the lookup is clear or --match N picks;
                            one outcome line per album, a summary, JSON Lines with --report;
                            --jobs N (1 to 4) scans and renames albums side by side</source>
        <translation>rename DIR (--entry FILE | --lookup [lookup options] | --search [search options])
         [--format F] [--folder-format N] [--rename-folder] [--write-tags] [--playlist]
         [--keep-underscores] [--portable-names] [--cover] [--dry-run]
                            die Audiodateien von DIR nach dem Namensformat und den Albumdaten
                            eines xmcd-Eintrags, einer Abfrage oder einer Suche umbenennen
                            (N wie bei lookup); --cover speichert das Frontcover eines
                            MusicBrainz-Albums als folder.jpg
rename ROOT... --recursive (--lookup | --search) [lookup options] [--report FILE] [--jobs N]
         [--verbose] [rename options]
                            jeden Albumordner unter den ROOTs umbenennen (Unterordner wie CD1,
                            Disc 2 ... bilden ein Album), nur wenn die Abfrage eindeutig ist oder
                            --match N wählt; eine Ergebniszeile je Album, eine Zusammenfassung,
                            JSON Lines mit --report; --jobs N (1 bis 4) liest und benennt Alben
                            nebeneinander um</translation>
    </message>
    <message>
        <source>rename-by-tag DIR [--format F] [--keep-underscores] [--portable-names] [--dry-run]
                            rename the audio files of DIR from their own tags</source>
        <translation>rename-by-tag DIR [--format F] [--keep-underscores] [--portable-names] [--dry-run]
                            die Audiodateien von DIR nach ihren eigenen Tags umbenennen</translation>
    </message>
    <message>
        <source>kept: it is there already</source>
        <translation>behalten: ist schon vorhanden</translation>
    </message>
    <message>
        <source>take the album from an xmcd entry file</source>
        <translation>das Album aus einer xmcd-Eintragsdatei nehmen</translation>
    </message>
    <message>
        <source>look the album up by its playing times</source>
        <translation>das Album nach seinen Spieldauern nachschlagen</translation>
    </message>
    <message>
        <source>look the album up by artist and album</source>
        <translation>das Album nach Interpret und Album suchen</translation>
    </message>
    <message>
        <source>the artist to search for</source>
        <translation>der zu suchende Interpret</translation>
    </message>
    <message>
        <source>the album to search for</source>
        <translation>das zu suchende Album</translation>
    </message>
    <message>
        <source>the freedb web search address, %s for the words</source>
        <translation>die Adresse der freedb-Websuche, %s für die Wörter</translation>
    </message>
    <message>
        <source>the freedb server for this run</source>
        <translation>der freedb-Server für diesen Lauf</translation>
    </message>
    <message>
        <source>look the album up in MusicBrainz, not in freedb</source>
        <translation>das Album in MusicBrainz nachschlagen, nicht in freedb</translation>
    </message>
    <message>
        <source>the MusicBrainz address for this run</source>
        <translation>die MusicBrainz-Adresse für diesen Lauf</translation>
    </message>
    <message>
        <source>the Cover Art Archive address for this run</source>
        <translation>die Adresse des Cover Art Archive für diesen Lauf</translation>
    </message>
    <message>
        <source>take match N (from 0) of several</source>
        <translation>Treffer N (ab 0) von mehreren nehmen</translation>
    </message>
    <message>
        <source>every album folder under the folders given</source>
        <translation>jeder Albumordner unter den angegebenen Ordnern</translation>
    </message>
    <message>
        <source>write one JSON line per album to FILE</source>
        <translation>eine JSON-Zeile je Album nach FILE schreiben</translation>
    </message>
    <message>
        <source>albums scanned and renamed side by side, 1 to 4</source>
        <translation>so viele Alben zugleich einlesen und umbenennen, 1 bis 4</translation>
    </message>
    <message>
        <source>each album&apos;s log lines on standard error</source>
        <translation>die Protokollzeilen jedes Albums auf der Standardfehlerausgabe</translation>
    </message>
    <message>
        <source>the name format (else the settings&apos;)</source>
        <translation>das Namensformat (sonst das der Einstellungen)</translation>
    </message>
    <message>
        <source>the folder format, 0 to 5 (else the settings&apos;)</source>
        <translation>das Ordnerformat, 0 bis 5 (sonst das der Einstellungen)</translation>
    </message>
    <message>
        <source>rename the folder too</source>
        <translation>auch den Ordner umbenennen</translation>
    </message>
    <message>
        <source>write the album into the tags</source>
        <translation>das Album in die Tags schreiben</translation>
    </message>
    <message>
        <source>write a playlist</source>
        <translation>eine Wiedergabeliste schreiben</translation>
    </message>
    <message>
        <source>keep underscores in names</source>
        <translation>Unterstriche in Namen behalten</translation>
    </message>
    <message>
        <source>names that FAT, exFAT and NTFS devices take</source>
        <translation>Namen, die FAT-, exFAT- und NTFS-Geräte annehmen</translation>
    </message>
    <message>
        <source>save a MusicBrainz album&apos;s front cover as folder.jpg</source>
        <translation>das vordere Cover eines MusicBrainz-Albums als folder.jpg speichern</translation>
    </message>
    <message>
        <source>show what would be done and change nothing</source>
        <translation>zeigen, was geschähe, und nichts ändern</translation>
    </message>
    <message>
        <source>options:</source>
        <translation>Optionen:</translation>
    </message>
    <message>
        <source>&quot;cantorix-cli COMMAND --help&quot; lists the options of the command.</source>
        <translation>&quot;cantorix-cli BEFEHL --help&quot; listet die Optionen des Befehls auf.</translation>
    </message>
    <message>
        <source>usage:</source>
        <translation>Aufruf:</translation>
    </message>
    <message>
        <source>%1 is given more than once</source>
        <translation>%1 ist mehrfach angegeben</translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation>%1 nimmt keinen Wert</translation>
    </message>
    <message>
        <source>undo every run recorded for the folder, back to the first</source>
        <translation>jeden für den Ordner verzeichneten Lauf rückgängig machen, bis zum ersten</translation>
    </message>
    <message>
        <source>undo DIR [--all] [--recursive] [--dry-run]
                            move back what the last rename run on DIR (with --recursive: on
                            every folder under DIR) did; with --all, every run back to the first</source>
        <translation>undo DIR [--all] [--recursive] [--dry-run]
                            den letzten Umbenennungslauf in DIR (mit --recursive: in jedem
                            Ordner unter DIR) rückgängig machen; mit --all jeden Lauf bis zum ersten</translation>
    </message>
    <message>
        <source>--cover belongs to %1</source>
        <translation>--cover gehört zu %1</translation>
    </message>
    <message>
        <source>%1 and %2 name two databases</source>
        <translation>%1 und %2 nennen zwei Datenbanken</translation>
    </message>
    <message>
        <source>--%1 belongs to %2</source>
        <translation>--%1 gehört zu %2</translation>
    </message>
    <message>
        <source>no file given</source>
        <translation>keine Datei angegeben</translation>
    </message>
    <message>
        <source>no track: %1</source>
        <translation>kein Titel: %1</translation>
    </message>
    <message>
        <source>fingerprint FILE...       each file&apos;s duration and AcoustID fingerprint (by fpcalc)</source>
        <translation>fingerprint DATEI...       Dauer und AcoustID-Fingerabdruck jeder Datei (mit fpcalc)</translation>
    </message>
    <message>
        <source>lookup DIR [--server S | --musicbrainz [--mb-server URL] | --acoustid [--acoustid-server URL]
           [--acoustid-key KEY]] [--match N]
                            look DIR up in freedb (or MusicBrainz) by its playing times, or by
                            the files&apos; sound in AcoustID (N picks among several matches,
                            default 0)</source>
        <translation>lookup DIR [--server S | --musicbrainz [--mb-server URL] | --acoustid [--acoustid-server URL]
           [--acoustid-key KEY]] [--match N]
                            DIR nach seinen Spieldauern in freedb (oder MusicBrainz) oder nach
                            dem Klang der Dateien in AcoustID nachschlagen (N wählt unter
                            mehreren Treffern, Vorgabe 0)</translation>
    </message>
    <message>
        <source>identify the files by their sound (AcoustID fingerprints)</source>
        <translation>die Dateien an ihrem Klang erkennen (AcoustID-Fingerabdrücke)</translation>
    </message>
    <message>
        <source>the AcoustID address for this run</source>
        <translation>die AcoustID-Adresse für diesen Lauf</translation>
    </message>
    <message>
        <source>the AcoustID application key for this run</source>
        <translation>der AcoustID-Anwendungsschlüssel für diesen Lauf</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>cantorix: the settings file &quot;%1&quot; is not a regular file (%2)</source>
        <translation>cantorix: die Einstellungsdatei &quot;%1&quot; ist keine reguläre Datei (%2)</translation>
    </message>
    <message>
        <source>more than one folder given</source>
        <translation>mehr als ein Ordner angegeben</translation>
    </message>
    <message>
        <source>usage: cantorix [--settings FILE] [FOLDER]</source>
        <translation>Aufruf: cantorix [--settings FILE] [FOLDER]</translation>
    </message>
    <message>
        <source>the folder to list at start</source>
        <translation>der beim Start aufzulistende Ordner</translation>
    </message>
</context>
</TS>
