// A user's road through the data window and the title page: typing in any
// box, picking pipe types, scrolling, pointing, deleting rows, the fire
// button, the data check, clearing, answering the questions either way, and
// saving. Nothing may crash or hang, the project stays within its bounds, and
// whatever a save writes reads back to the very same file.

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/fakes.h"
#include "app/program_values.h"
#include "archive/cp1252.h"
#include "archive/project_file.h"
#include "fuzz_qt.h"

using namespace acquenza;

namespace {

// What users type, mostly: numbers in every spelling, a few words, and now
// and then anything at all.
std::string Typed(FuzzedDataProvider& in) {
    static constexpr std::array<const char*, 14> Usual = {
        "100", "1.5", "0", "-3",         "250",   "1e3",    "2,5",
        ".5",  "",    " ", "antincend.", "nuova", "in uso", "99999999999"};
    if (in.ConsumeBool()) {
        return Usual[in.ConsumeIntegralInRange<std::size_t>(0, Usual.size() - 1)];
    }
    return Cp1252ToUtf8(in.ConsumeRandomLengthString(40));
}

void SaveAndReadBack(const Project& project) {
    std::string first;
    if (!EncodeProjectFile(project, first).ok) {
        return;  // a text the file cannot hold, refused at the save
    }
    if (DecodeUtf8OrCp1252(first).wasUtf8) {
        return;  // typed text that happens to look like UTF-8 in Windows-1252
    }
    Project again;
    const ReadOutcome read = ReadProjectData(first, again);
    std::string second;
    if (!read.complete || read.layout.line != 0 || !EncodeProjectFile(again, second).ok ||
        second != first) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    fuzz::StartQt((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    ProgramState state;
    InitProgramValues(state.identity.values);
    InitSharedTitles(state.identity.titles, state.identity.values);
    testing::FakeDialogs dialogs;
    testing::FakeWindows windows(state, dialogs);
    DataWindowModel& grid = windows.LoadDataWindow();
    TitlePageModel& title = windows.LoadTitlePage();
    for (int steps = 0; in.remaining_bytes() > 0 && steps < 400; ++steps) {
        dialogs.answers = {in.ConsumeBool() ? Answer::Yes : Answer::No};
        const int row = in.ConsumeIntegralInRange(1, DataWindowModel::Rows);
        switch (in.ConsumeIntegralInRange(0, 9)) {
            case 0:
            case 1:
            case 2: {
                const Field field =
                    InputFields[in.ConsumeIntegralInRange<std::size_t>(0, InputFields.size() - 1)];
                grid.TypeInBox(row, field, Typed(in));
                break;
            }
            case 3:
                grid.PickPipeType(row, in.ConsumeBool() ? "nuova" : "in uso");
                break;
            case 4:
                grid.Scroll(in.ConsumeIntegralInRange(-5, MaxSections + 5));
                break;
            case 5:
                grid.PointAtRow(in.ConsumeIntegralInRange(0, DataWindowModel::Rows + 1));
                break;
            case 6:
                grid.DeleteRow(row);
                break;
            case 7:
                grid.FireButton();
                break;
            case 8:
                if (in.ConsumeBool()) {
                    grid.CheckData();
                } else {
                    grid.ClearWindow();
                }
                break;
            default:
                title.TypeInField(
                    static_cast<TitleField>(in.ConsumeIntegralInRange(0, TitleTextCount - 1)),
                    Typed(in));
                break;
        }
        const Project& p = state.project;
        if (p.enteredSectionCount < 0 || p.enteredSectionCount > MaxSections ||
            grid.ScrollValue() < 1 || grid.ScrollValue() > DataWindowModel::MaxFirstVisible) {
            std::abort();
        }
    }
    SaveAndReadBack(state.project);
    return 0;
}
