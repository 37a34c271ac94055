// Undo and redo as the user meets them: every edit taken back in turn leads
// to the project as it was, field for field and result for result, and done
// again to the project as it was left.

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/fakes.h"
#include "app/undo_commands.h"
#include "core/numbers.h"
#include "core/section_calculation.h"

namespace acquenza {
namespace {

struct Picture {
    std::vector<SectionRecord> sections;
    int count = 0;
    TitleTexts titles;
    std::string file;
    bool operator==(const Picture&) const = default;
};

class Undo : public ::testing::Test {
  protected:
    void SetUp() override {
        InitProgramValues(state.identity.values);
        InitSharedTitles(state.identity.titles, state.identity.values);
        const char* given = std::getenv("ACQUENZA_SEED");
        seed = given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10))
                                : std::random_device{}();
        rng.seed(seed);
    }
    DataWindowModel& grid() { return windows.LoadDataWindow(); }
    TitlePageModel& title() { return windows.LoadTitlePage(); }

    Picture Take() {
        Picture p;
        for (int s = 1; s <= MaxSections; ++s) {
            p.sections.push_back(state.project.sections.Record(s));
        }
        p.count = state.project.enteredSectionCount;
        p.titles = title().Texts();
        p.file = state.currentFileName;
        return p;
    }
    // The first difference, for the failure message.
    static std::string Difference(const Picture& a, const Picture& b) {
        for (std::size_t s = 0; s < a.sections.size(); ++s) {
            if (a.sections[s].id != b.sections[s].id) {
                return "tronco " + std::to_string(s + 1) + ": un altro tronco al suo posto";
            }
            for (int f = 0; f < FieldCount; ++f) {
                const FieldValue& x = a.sections[s][static_cast<Field>(f)];
                const FieldValue& y = b.sections[s][static_cast<Field>(f)];
                if (!(x == y)) {
                    return "tronco " + std::to_string(s + 1) + " " +
                           std::string(FieldName(static_cast<Field>(f))) + ": «" + x.DisplayText() +
                           "» / «" + y.DisplayText() + "»";
                }
            }
        }
        return a.count != b.count ? "numero dei tronchi" : "frontespizio o file";
    }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

    void RandomEdit() {
        static const std::vector<std::string> texts = {"100", "250", "12.5", "",    "0",
                                                       "400", "380", "1000", "2.5", "95"};
        const int row = Pick(1, DataWindowModel::Rows);
        switch (Pick(0, 9)) {
            case 0:
                grid().PickPipeType(row, Pick(0, 1) == 0 ? "nuova" : "in uso");
                break;
            case 1:
                grid().DeleteRow(row);
                break;
            case 2:
                grid().FireButton();
                break;
            case 3:
                title().TypeInField(static_cast<TitleField>(Pick(0, TitleTextCount - 1)),
                                    Pick(0, 1) == 0 ? "Rete" : "");
                break;
            case 4:
                grid().Scroll(Pick(1, 8));
                break;
            default: {
                const Field f = InputFields[static_cast<std::size_t>(Pick(0, InputFieldCount - 2))];
                const std::string& text = texts[static_cast<std::size_t>(Pick(0, 9))];
                // Key by key, then on with Tab: one step.
                for (std::size_t n = 1; n <= text.size(); ++n) {
                    grid().TypeInBox(row, f, text.substr(0, n));
                }
                if (text.empty()) {
                    grid().TypeInBox(row, f, text);
                }
                grid().LeaveBox(row, f);
            }
        }
    }

    ProgramState state;
    testing::FakeDialogs dialogs;
    testing::FakeWindows windows{state, dialogs};
    unsigned seed = 0;
    std::mt19937 rng;
};

TEST_F(Undo, EveryEditTakenBackAndDoneAgainInTurn) {
    // A calculated project to start from.
    for (int r = 1; r <= 6; ++r) {
        for (const auto& [f, text] : std::vector<std::pair<Field, std::string>>{
                 {Field::lungh, std::to_string(100 * r)},
                 {Field::quotain, std::to_string(500 - 10 * r)},
                 {Field::quotafin, std::to_string(495 - 10 * r)},
                 {Field::abitun, "350"},
                 {Field::portfin, "3"}}) {
            grid().TypeInBox(r, f, text);
            grid().LeaveBox(r, f);
        }
        grid().PickPipeType(r, "nuova");
    }
    state.history.Clear();
    const Picture start = Take();
    for (int i = 0; i < 400; ++i) {
        RandomEdit();
    }
    const Picture end = Take();
    const std::size_t steps = state.history.StepCount();
    ASSERT_GT(steps, 100u) << "seed " << seed;
    UndoCommands commands(state, windows);
    while (state.history.CanUndo()) {
        commands.Undo();
    }
    EXPECT_EQ(Take(), start) << "seed " << seed << ": " << Difference(Take(), start);
    EXPECT_FALSE(state.history.Modified());
    while (state.history.CanRedo()) {
        commands.Redo();
    }
    EXPECT_EQ(Take(), end) << "seed " << seed << ": " << Difference(Take(), end);
    EXPECT_TRUE(state.history.Modified());
}

TEST_F(Undo, StepsAreNamedAndTheGridShowsTheSectionConcerned) {
    for (int r = 1; r <= 10; ++r) {
        grid().TypeInBox(r, Field::lungh, std::to_string(100 + r));
    }
    grid().Scroll(5);
    grid().DeleteRow(3);  // section 7
    EXPECT_EQ(state.history.UndoName(), "cancellazione del tronco n. 7");
    EXPECT_EQ(state.project.sections.Get(7, Field::lungh), FieldValue::Text("108"));
    grid().Scroll(20);
    UndoCommands commands(state, windows);
    commands.Undo();
    EXPECT_EQ(state.project.sections.Get(7, Field::lungh), FieldValue::Text("107"));
    EXPECT_EQ(grid().ScrollValue(), 7);
    EXPECT_EQ(grid().BoxText(1, Field::lungh), "107");
    EXPECT_EQ(state.history.RedoName(), "cancellazione del tronco n. 7");
    EXPECT_EQ(state.history.UndoName(), "lunghezza del tronco n. 10");
}

// A thousand boxes typed, each its own step, cost the history less than 2 MB.
TEST_F(Undo, AThousandTypedBoxesKeepTheHistorySmall) {
    for (int i = 0; i < 1000; ++i) {
        const int row = 1 + i % DataWindowModel::Rows;
        grid().TypeInBox(row, Field::lungh, std::to_string(100 + i));
        grid().LeaveBox(row, Field::lungh);
    }
    EXPECT_EQ(state.history.StepCount(), 1000u);
    EXPECT_LT(state.history.Bytes(), 2u * 1024 * 1024);
}

// Whatever the step, undo or redo, no section is left with results or a map
// other than a fresh calculation of its data gives: the step works out what
// it touched as it closes, undo and redo what they change.
TEST_F(Undo, NoStepLeavesASectionWithResultsItsDataDoNotGive) {
    auto firstStale = [this]() -> std::string {
        Project fresh = state.project;
        for (int s = 1; s <= MaxSections; ++s) {
            SettleSection(fresh, s);
            for (int f = 0; f < FieldCount; ++f) {
                const Field field = static_cast<Field>(f);
                if (!(fresh.sections.Get(s, field) == state.project.sections.Get(s, field))) {
                    return "tronco " + std::to_string(s) + " " + std::string(FieldName(field));
                }
            }
            for (int k = 1; k <= SegmentCount; ++k) {
                if (!(fresh.sections.Segment(s, k) == state.project.sections.Segment(s, k))) {
                    return "tronco " + std::to_string(s) + " mappa " + std::to_string(k);
                }
            }
        }
        return {};
    };
    UndoCommands commands(state, windows);
    for (int i = 0; i < 300; ++i) {
        const int what = Pick(0, 9);
        if (what == 0) {
            commands.Undo();
        } else if (what == 1) {
            commands.Redo();
        } else {
            RandomEdit();
        }
        const std::string stale = firstStale();
        ASSERT_EQ(stale, "") << "seed " << seed << ", after action " << i;
    }
}

}  // namespace
}  // namespace acquenza
