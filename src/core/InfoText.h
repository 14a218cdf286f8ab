// The information window's values as a person reads them. The format readers give the bit rate, the
// sample rate and the channels in each format's own notation ("VBR129915" in bit/s, "424.778795180723"
// in kbit/s, "S", "Joint Stereo"), which `cantorix-cli info` prints unchanged for scripts; the window
// shows one notation for every format.
#pragma once

#include <QString>

namespace cantorix {

// "425 kbit/s" or "VBR, 130 kbit/s": whole kbit/s, rounded halves to even. `extension` is the file's
// (".AAC", any case), whose reader counts bit/s where the others count kbit/s. Empty for an empty,
// zero or "Unknown" rate; a text that is no rate is shown as it stands.
QString ShownBitrate(const QString& extension, const QString& value);

// "44.1 kHz" from the readers' kHz text ("44.1"); empty for an empty or zero rate; a text that is no
// number is shown as it stands.
QString ShownSampleRate(const QString& value);

// "Mono", "Stereo", "Joint stereo", "Dual channel", "5.1", "7.1" or "<n> channels" from a channel code
// ("M", "S", "6ch."), a count ("2") or a mode text ("Joint Stereo"); empty when unknown; any other text
// as it stands.
QString ShownChannels(const QString& value);

} // namespace cantorix
