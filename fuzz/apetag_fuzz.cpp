// The APE tag reader on arbitrary bytes.
#include "FuzzFile.h"
#include "audio/APETag.h"

using namespace cantorix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemorySource in(data, size);
    TAPETag ape;
    bool ok = ape.ReadFromSource(in);
    fuzz::check(ok || !ape.Present(), "a failed read finds no tag");
    if (ape.Present()) {
        fuzz::check(ape.Size() >= 32 && ape.Size() <= int64_t(size), "the tag lies in the file");
        fuzz::check(ape.Fields().size() <= ape.ItemCount(), "no more items than announced");
        for (const RField& f : ape.Fields()) fuzz::check(f.Value.size() <= 3 * 250, "values are cut");
    }
    return 0;
}
