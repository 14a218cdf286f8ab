// Prints the playing time the scan takes for each file named on the command line:
// "<name>\t<whole seconds>\t<milliseconds>\t<samples>\t<rate>" (samples and rate 0 when not exact).
// The benchmarks use it to check that a change of a reader keeps every file's whole seconds.
#include "audio/AudioUtil.h"

#include <cstdio>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const cantorix::TDurationResult d = cantorix::ReadAudioDuration(argv[i]);
        std::printf("%s\t%d\t%lld\t%lld\t%u\n", argv[i], d.Seconds, static_cast<long long>(d.Milliseconds),
                    static_cast<long long>(d.Samples), d.SampleRate);
    }
    return 0;
}
