#include "cli/Commands.h"

#include "cli/LookupRun.h"
#include "core/AlbumGuess.h"
#include "core/Settings.h"

namespace cantorix::cli {

SearchArgs searchArgsOf(const Invocation& inv)
{
    SearchArgs args;
    // An empty value is a choice too ("--album ''" searches by the artist alone).
    args.artistGiven = inv.given("artist");
    args.albumGiven = inv.given("album");
    args.artist = inv.value("artist");
    args.album = inv.value("album");
    for (const TLookupSourceRow& source : LookupSources())
        for (const TSourceOption& option : source.Options)
            if (option.CliName && option.SearchOnly && inv.given(option.CliName))
                args.options.insert(option.CliName, inv.value(option.CliName));
    return args;
}

TAlbumGuess searchWords(const SearchArgs& args, const TAlbumSession& album)
{
    TAlbumGuess words;
    if (!args.artistGiven || !args.albumGiven) words = album.guessedWords();
    if (args.artistGiven) words.Artist = args.artist;
    if (args.albumGiven) words.Album = args.album;
    return words;
}

// search DIR [--artist A] [--album B] [--search-url T] [--server S] [--match N]: the window's query
// by name. Prints the words searched for, the log lines as the window shows them with the match
// lines, then the album fields and one "TrackNo<TAB>Track<TAB>file" line per file in the order the
// results window starts from. Exit 0 when an entry was read, 1 otherwise.
int cmdSearch(Invocation& inv)
{
    const SearchArgs searchArgs = searchArgsOf(inv);
    const LookupArgs lookupArgs = lookupArgsOf(inv);
    inv.expectPositional(1);
    const int match = lookupArgs.match();
    const QString dir = inv.args[0];

    TSettings settings(inv.settingsFile);
    TAlbumWorkflow workflow(settings);
    workflow.setOverrides(lookupOverrides(lookupArgs, searchArgs));
    if (!listAlbumArgument(inv, dir, workflow, inv.out)) return 1;
    const TAlbumSession& album = workflow.album();
    const TAlbumGuess words = searchWords(searchArgs, album);
    inv.out << "search artist: " << words.Artist << '\n' << "search album: " << words.Album << '\n';
    inv.out.flush();

    const TLookupRun run = runLookup(workflow, TQueryMode::Name, words.Artist, words.Album, match, true, inv.out);
    if (!run.error.isEmpty()) inv.err << "cantorix-cli: " << run.error << '\n';
    if (!run.entryRead()) return 1;

    printAlbumFields(inv.out, album.fields());
    for (const TAlignedRow& row : std::as_const(run.pairing)) {
        if (row.GridRow < 0) continue; // a title without a file
        const TAlbumRow& file = album.row(row.GridRow);
        inv.out << (row.Title < 0 ? QString() : EscapeControls(file.TrackNo)) << '\t'
                << (row.Title < 0 ? QString() : EscapeControls(TitleCell(file))) << '\t' << EscapeControls(file.FileName)
                << '\n';
    }
    return 0;
}

} // namespace cantorix::cli
