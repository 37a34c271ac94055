// Any file opened as an EPANET network: the reader and the import never
// crash or hang; what the reader took, once written, reads back and writes
// the very same bytes; a network the import accepted, once exported, comes
// back as the same file.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_flags.h"
#include "interchange/branched_export.h"
#include "interchange/branched_import.h"
#include "interchange/inp_reader.h"
#include "interchange/inp_writer.h"

using namespace acquenza;
using namespace acquenza::interchange;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::AddDefaultFlags(argc, argv, {"-max_len=16384", "-len_control=0"});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const InpReadResult read = ReadInp(bytes);
    if (!read.ok) {
        if (read.error.empty() || read.errorLine <= 0) {
            std::abort();  // a refusal must say why and where
        }
        return 0;
    }
    const InpWriteResult written = WriteInp(read.network);
    if (written.ok) {
        const InpReadResult again = ReadInp(written.text);
        if (!again.ok || WriteInp(again.network).text != written.text) {
            std::abort();
        }
    }
    BranchedImportResult imported = ImportBranchedNetwork(read.network);
    if (!imported.ok) {
        if (imported.error.empty()) {
            std::abort();
        }
        return 0;
    }
    for (auto& s : imported.network.sections) {
        if (!s.roughness_mm) {
            s.roughness_mm = 0.1;
        }
    }
    const InpExportResult exported = ExportToInp(imported.network);
    if (exported.ok) {
        const BranchedImportResult back = ImportFromInp(exported.text);
        if (!back.ok || ExportToInp(back.network).text != exported.text) {
            std::abort();
        }
    }
    return 0;
}
