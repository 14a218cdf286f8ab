<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Cddb</name>
    <message>
        <source>Cannot connect to %1:%2: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Querying CD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading CD info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Getting sites</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no valid server address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (enter your own e-mail address in Options › Connection, or as [Connection] Email in the settings file: the server asks for a real one)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server %1 did not answer as a freedb server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server %1 answered %2; it is not a freedb server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server %1 has moved to %2; enter that address as the server in Options &gt; Connection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server refused protocol level %1; asking again at level %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Server error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CGI environment error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Command syntax error, command unknown, command unimplemented</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Server error, server timeout</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Informative message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Command OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Command OK so far</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Command OK, but cannot be performed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Command unimplemented, incorrect, or program error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, ready for further commands</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, more server-to-client output follows</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, more client-to-server input follows</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, connection will close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Found exact match</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No match found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Found exact matches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Found inexact matches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK, receiving matches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The match list is corrupt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Received matches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK, CDDB database entry follows</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The entry is corrupt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Entry read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server list ended without its closing line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK, receiving sites</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No site information available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Got sites</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FolderEntry</name>
    <message>
        <source>the program&apos;s path holds a control character</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot create the folder &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FolderScan</name>
    <message>
        <source>Removed the temporary file &quot;%1&quot; of an interrupted write</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No audio files found in &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 audio file found in &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 audio files found in &quot;%2&quot;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HttpClient</name>
    <message>
        <source>Invalid proxy port &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid URL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reply too large</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No data received in time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Too many redirects</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot connect to the proxy %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No HTTP answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Received %1 of %2 bytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download stopped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Network support not available: </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InfoText</name>
    <message>
        <source>%1 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VBR, %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 kHz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mono</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stereo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Joint stereo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dual channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Surround</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 channels</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LogFile</name>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>About Cantorix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Names the files of ripped audio albums from the freedb/CDDB music database or from their own tags.

Licensed under the GNU General Public License, version 3 or later. It comes with no warranty.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot;: tags: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Folder: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Playlist: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Renaming</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo that run</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No program is set up to open &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose a program for this kind of file in the desktop&apos;s settings (its default applications).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MusicBrainz</name>
    <message>
        <source>The cover is no JPEG image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No files to look up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 files are more than a CD holds (%2 tracks)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The playing time of file %1 is unknown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File %1 is shorter than a CD sector</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The files are longer than a CD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No tracks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>medium %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Δ %1 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The reply is no JSON object</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The reply holds no release list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The reply holds no release</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NameFormat</name>
    <message>
        <source>A name format cannot hold a line break or another control character</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A name format cannot hold &quot;=&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A name format cannot begin with &quot;[&quot; or &quot;;&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The name format &quot;%1&quot; is in the list already</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NameQuery</name>
    <message>
        <source>Album not found in FreeDB or connection failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to connect to the FreeDB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No answer from %1 within %2 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download of %1 failed: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 match found from FreeDB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 matches found from FreeDB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No match chosen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Attempting to get album data from FreeDB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The entry is corrupt: it has no DTITLE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Album data received. Please sort files carefully!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Entry read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter an artist or an album to search for</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Querying album by name...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The search address &quot;%1&quot; has no %s for the words</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Match choice cancelled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The lookup was cancelled</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Rename</name>
    <message>
        <source>Finished tag-to-filename renaming. Refreshing folder...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot create the folder &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo left the folder &quot;%1&quot;: &quot;%2&quot; exists now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Folder renamed back to &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo left the folder &quot;%1&quot; (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo left the playlist &quot;%1&quot;: it was changed since</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Playlist &quot;%1&quot; removed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo left the playlist &quot;%1&quot; (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo left &quot;%1&quot;: it was replaced since</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo left &quot;%1&quot;: it is no longer there</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo left &quot;%1&quot;: &quot;%2&quot; is taken now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo left &quot;%1&quot; (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The run wrote tags; their values are not undone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo journal error: &quot;%1&quot; (nothing was moved back)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot remove the undo journal &quot;%1&quot; (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An earlier rename run in this folder did not finish. Undo it before renaming again: the titles go to the files by their order, which that run changed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no rename run to undo for this folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo finished</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rename error: &quot;%1&quot; (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[Error] Folder &quot;%1&quot; already exists!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to rename the folder: &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tag error: &quot;%1&quot; (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Playlist error: &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[ERROR] Native: &quot;%1&quot; System: &quot;%2&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name shortened to fit the file system: &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo journal error: &quot;%1&quot; (nothing was renamed)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo journal error: &quot;%1&quot; (the run stopped; undo puts back what it renamed)</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Files without a title kept their names: %n</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Folder successfully renamed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Created playlist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Renaming finished</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Attempting to fix track numbers...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Finished fixing track numbers. Refreshing...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>would collide with &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Renamed %1 of %2 files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; %1 could not be renamed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; tags could not be written to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; the folder was not renamed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; the playlist was not written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; files without a title kept their names: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; the run stopped: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown exception</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>already exists</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ResultsAlignment</name>
    <message>
        <source>Fake track?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Missing track?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ServerList</name>
    <message>
        <source>The reply named no HTTP server on port 80; the server list was not changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No answer from %1 within %2 seconds</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ServerSetting</name>
    <message>
        <source>A server address cannot hold spaces</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A server address begins with http:// or https://</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A server address holds no &quot;?&quot;, &quot;#&quot; or &quot;@&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no host name, host:port or http:// address</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>The e-mail address &quot;%1&quot; holds white space or a control character; &quot;%2&quot; is sent instead</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The e-mail address &quot;%1&quot; holds a quote or a backslash, which the server reads as part of its syntax; &quot;%2&quot; is sent instead</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cantorix::TAlbumTableModel</name>
    <message>
        <source>Filename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TrackNo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>shortened to fit the file system</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no title: keeps its name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the format gives no name: keeps its name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cantorix::TAlbumWorkflow</name>
    <message>
        <source>The query by name was abandoned: the folder was listed anew</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The lookup was abandoned: the folder was listed anew</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 files have no playing time (shown as --:--); the disc ID counts them as 0 seconds and will likely find no match</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The lookup was cancelled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The titles were not applied: the folder was listed anew</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No title stands beside a file: nothing to rename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ready to rename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the entry &quot;%1&quot; is not a regular file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot read the entry &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the entry &quot;%1&quot; is too large</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the entry &quot;%1&quot; has neither a DISCID nor a title</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cantorix::TApplication</name>
    <message>
        <source>Unknown exception</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cantorix::TChecksumLookup</name>
    <message>
        <source>Connection timed out!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It seems that you have problems connecting to the freedb.<byte value="xd"/>
Check your connection and try to use a different freedb server - <byte value="xd"/>
you can change it from the Cantorix options.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The lookup was cancelled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No answer from %1 within %2 seconds.<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A late reply from %1 was ignored</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Showing the first %1 of %2 matches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No match chosen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The entry is corrupt</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cantorix::TCoverArtFetch</name>
    <message>
        <source>Invalid cover art server address &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No cover: &quot;%1&quot; is no MusicBrainz release ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The release has no front cover</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The cover is no JPEG image</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cantorix::TInfoForm</name>
    <message>
        <source>A file name cannot hold &quot;/&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A file name cannot hold control characters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;.&quot; and &quot;..&quot; name folders, not files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File information and manual rename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;urrent filename:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;New filename:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Artist:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Album:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Title:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Year:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Genre:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Track:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bitrate:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Samplerate:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Other:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>That is no file name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Renamed to &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No audio extension</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; has no audio file extension.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Without one the file is no longer listed with the album.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rename &amp;as typed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot rename &quot;%1&quot; to &quot;%2&quot;: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Renaming failed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cantorix::TLogPane</name>
    <message>
        <source>Copy selected to clipboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Log files (*.log *.txt);;All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saved log to &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cantorix::TLookupStatus</name>
    <message>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ends the lookup (Esc)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connecting%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Querying the database%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading the album%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cantorix::TMainForm</name>
    <message>
        <source>The user guide is not installed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rename files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>write tags</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>write a playlist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rename the folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rename will %1.</source>
        <extracomment>%1 lists the steps, e.g. &quot;rename files, write tags&quot;</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cantorix: cannot write the settings file &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Renamed &quot;%1&quot; to &quot;%2&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New folder: &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Playlist: &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Renaming</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Na&amp;me format:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rename f&amp;older, format:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FreeDB info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Artist:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Year:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Al&amp;bum:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Genre:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>O&amp;ptions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rename by &amp;tag</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Query mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Chec&amp;ksum</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Database:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>freedb</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MusicBrainz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>freedb (gnudb) answers by the disc ID of the playing times or by a web search; MusicBrainz knows far more albums and matches playing times that are off by a few seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Query</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Art&amp;ist:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A&amp;lbum:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refre&amp;sh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Manual rename/file info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fix 1..9 to 01..09</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo last rename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About Cantorix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Open folder…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save log…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cantorix::TMatchForm</name>
    <message>
        <source>One album found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>More than one album found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cantorix::TMbClient</name>
    <message>
        <source>No answer within %1 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The service is busy (%1): asking again in %2 s as it says</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The service is busy (%1): asking again in %2 s</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cantorix::TMusicBrainzLookup</name>
    <message>
        <source>Invalid MusicBrainz server address &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No MusicBrainz lookup: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to search for: enter the artist or the album</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MusicBrainz disc ID %1, exact (from the sample counts of a CD rip)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MusicBrainz disc ID %1, from the playing times: releases are matched by their track lengths</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The lookup was cancelled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No answer from %1 within %2 seconds.
Check your connection, or try again later or with another MusicBrainz server in the options.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No match found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid reply from MusicBrainz: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 releases found, none with a medium of %2 tracks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 matching releases found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No match chosen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>another release came</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The release has no medium of %1 tracks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No medium has %1 tracks: the titles of medium %2 (%3 tracks) are offered for pairing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Release read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Release read: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cantorix::TOptionsForm</name>
    <message>
        <source>No folder specified</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select a folder:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cantorix options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FreeDB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A host name, host:port, or an http:// or https:// address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Query FreeDB servers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Server:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;E-mail:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time-o&amp;ut:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The web search of the name query; %s stands for the words searched for</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search &amp;address:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Hide data exchange</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MusicBrainz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The MusicBrainz web service: a host name or an http:// or https:// address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Cover Art Archive, where album covers come from</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ser&amp;vice:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cover ima&amp;ges:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Proxy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use &amp;proxy to connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A&amp;ddress:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P&amp;ort:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>User&amp;name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pass&amp;word:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Connection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Starting folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Specify starting &amp;folder…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Use current</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filegrid double-click</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Info/manual rename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File manager</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Offers &quot;Cantorix&quot; in the &quot;Open with&quot; menu of every folder in the file manager.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Main</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name &amp;formats:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>F&amp;ormat:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>R&amp;emove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You can use following keywords:
artist album track year #
Character case does not matter. You will see sample of the name below. Create the name form that you want and press &quot;Add&quot; button to add format to the listbox.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Write tag if possible</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replace &amp;underscores with spaces (double spaces will be fixed automatically)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create play&amp;list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save the front cover of MusicBrainz albums as folder.&amp;jpg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Renaming</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;b&gt;Cantorix %1&lt;/b&gt;&lt;br&gt;Names the files of ripped audio albums.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>User guide (readme)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The freedb music database: gnudb.org</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GNU General Public License, version 3 or later</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Abou&amp;t</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove &amp;shell shortcut</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create &amp;shell shortcut</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The user guide is not installed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Asking %1 for its server list%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server list was not changed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 servers in the list; the server is %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write the settings file &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot remove the folder entry &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot create the folder entry &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Removed the folder entry &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Created the folder entry &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cantorix::TRenameByTagForm</name>
    <message>
        <source>Rename by tag</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Proposed names (double-click or F2 to change one):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Original</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Accept and rename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keeps its name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The tags give no track number: the name has an empty place where it goes</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cantorix::TResultsForm</name>
    <message>
        <source>Sort results...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;FreeDB track names:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Current track names:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move the selected file up (Alt+Up)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move the selected file down (Alt+Down)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Accept</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cli</name>
    <message>
        <source>no MusicBrainz disc ID: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no such file: &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a file: &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rename needs one of --entry FILE, --lookup and --search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--server, --match and --musicbrainz belong to --lookup or --search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--artist, --album and --search-url belong to --search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--folder-format needs a number from 0 to 4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Run: cantorix-cli undo &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no album data found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>nothing to rename: no title stands beside a file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>shortened to fit the file system</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no title: keeps its name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the format gives no name: keeps its name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no track number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 files renamed, %2 failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the reply named no HTTP server on port 80 (%1 records)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no such folder: &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 moved back, %2 left alone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>there are only %1 matches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>nothing to search for: give --artist or --album</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>wrong number of arguments</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--match needs a number from 0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--mb-server and --cover-server belong to --musicbrainz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>scan DIR                  list the audio files of DIR with their playing times</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>discid DIR                the freedb and MusicBrainz disc IDs, offsets and table of contents of DIR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>lookup DIR [--server S | --musicbrainz [--mb-server URL]] [--match N]
                            look DIR up in freedb (or MusicBrainz) by its playing times (N
                            picks among several matches, default 0)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>search DIR [--artist A] [--album B] [--search-url T] [--server S | --musicbrainz
            [--mb-server URL]] [--match N]
                            look DIR up by artist and album on the freedb web search or in
                            MusicBrainz (words guessed from the first file unless given; N
                            picks among the matches, default 0)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rename DIR (--entry FILE | --lookup [lookup options] | --search [search options])
         [--format F] [--folder-format N]
         [--rename-folder] [--write-tags] [--playlist] [--keep-underscores] [--dry-run]
                            rename the audio files of DIR by the name format and the album data
                            of an xmcd entry, a lookup or a search (N as for lookup)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>fix-numbers DIR           pad one-digit numbers in the file names of DIR (1 -&gt; 01)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rename-by-tag DIR [--format F] [--keep-underscores] [--dry-run]
                            rename the audio files of DIR from their own tags</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>info FILE                 show the technical and tag information of one audio file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>undo DIR [--dry-run]      move back what the last rename run on DIR did</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>sites [--server S]        the freedb server list as the options window stores it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>usage: cantorix-cli COMMAND [ARGS] [--settings FILE]

commands:
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the settings file &quot;%1&quot; is not a regular file (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown command %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>cantorix: the settings file &quot;%1&quot; is not a regular file (%2)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
