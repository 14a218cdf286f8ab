#include "core/GenreNames.h"

namespace cantorix {

const QStringList& GenreBoxNames()
{
    static const QStringList names = QString(
        "Acapella;Acid;Acid Jazz;Acid Punk;Acoustic;Alternative;Alternative Rock;Ambient;Anime;Avantgarde;"
        "Ballad;Bass;Beat;Bebop;Big Band;Black Metal;Bluegrass;Blues;Booty Bass;BritPop;Cabaret;Celtic;"
        "Chamber Music;Chanson;Chorus;Christian Gangsta Rap;Christian Rap;Christian Rock;Classic Rock;"
        "Classical;Club;Club-House;Comedy;Contemporary Christian;Country;Crossover;Cult;Dance;Dance Hall;"
        "Darkwave;Death Metal;Disco;Dream;Drum & Bass;Drum Solo;Duet;Easy Listening;Electronic;Ethnic;"
        "Eurodance;Euro-House;Euro-Techno,;Fast Fusion;Folk;Folklore;Folk-Rock;Freestyle;Funk;Fusion;Game;"
        "Gangsta;Goa;Gospel;Gothic;Gothic Rock;Grunge;Hard Rock;Hardcore;Heavy Metal;Hip-Hop;House;Humour;"
        "Indie;Industrial;Instrumental;Instrumental Pop;Instrumental Rock;Jazz;Jazz+Funk;Jpop;Jungle;Latin;"
        "Lo-Fi;Meditative;Merengue;Metal;Musical;National Folk;Native US;Negerpunk;New Age;New Wave;Noise;"
        "Oldies;Opera;Other;Polka;Polsk Punk;Pop;Pop/Funk;Pop-Folk;Porn Groove;Power Ballad;Pranks;Primus;"
        "Progressive Rock;Psychadelic;Psychadelic Rock;Punk;Punk Rock;R&B;Rap;Rave;Reggae;Retro;Revival;"
        "Rock;Rock & Roll;Ryhtmic Soul;Salsa;Samba;Satire,;Showtunes;Ska;Slow Jam;Slow Rock;Sonata;Soul;"
        "Sound Clip;Soundtrack;Southern Rock;Space;Speech;Swing;Symphonic Rock;Symphony;Synthpop;Tabgo;"
        "Techno;Techno-Industrial;Terror;Top 40;Trailer;Trance;Trash Metal;Tribal;Trip-Hop;Vocal").split(';');
    return names;
}

} // namespace cantorix
