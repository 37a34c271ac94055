// The user's data change only when the user changes them. A long random road
// of user actions through the data window, the title page, the archive and
// the documents: after every action that only shows (scroll, pointing,
// check, documents, print, save) each section's input fields are exactly as
// before; after an edit only the edited section differs, but for the shift
// a deleted row leaves behind. ACQUENZA_SEED=n replays a road.

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/archive_commands.h"
#include "app/document_commands.h"
#include "app/fakes.h"
#include "core/numbers.h"
#include "reports/recording_printer.h"

namespace acquenza {
namespace {

namespace fs = std::filesystem;

using Inputs = std::array<std::array<FieldValue, InputFieldCount>, MaxSections + 1>;

// Sections the road types into: enough to scroll, few enough for documents.
constexpr int Reach = 24;
constexpr int Steps = 3000;

class UserDataInvariants : public ::testing::Test {
  protected:
    void SetUp() override {
        InitProgramValues(state.identity.values);
        InitSharedTitles(state.identity.titles, state.identity.values);
        root = fs::temp_directory_path() / ("acquenza-invariants-" + std::to_string(::getpid()));
        fs::create_directories(root);
        desk.folder = root;
        const char* given = std::getenv("ACQUENZA_SEED");
        seed = given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10))
                                : std::random_device{}();
        rng.seed(seed);
    }
    void TearDown() override { fs::remove_all(root); }

    DataWindowModel& grid() { return windows.LoadDataWindow(); }
    TitlePageModel& title() { return windows.LoadTitlePage(); }

    Inputs Snapshot() const {
        Inputs inputs;
        for (int s = 0; s <= MaxSections; ++s) {
            for (int f = 0; f < InputFieldCount; ++f) {
                inputs[static_cast<std::size_t>(s)][static_cast<std::size_t>(f)] =
                    state.project.sections.Get(s, static_cast<Field>(f));
            }
        }
        return inputs;
    }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    template <typename T>
    const T& PickOf(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(Pick(0, static_cast<int>(items.size()) - 1))];
    }

    std::string TextFor(Field f) {
        static const std::vector<std::string> lengths = {"100", "250", "12.5",  "0", "",   "1e3",
                                                         "abc", "4x0", "410,5", "7", "1e", "1e999"};
        static const std::vector<std::string> elevations = {"400", "380.5", "120", "90", "4",
                                                            "488", "0",     "-3",  "",   "1,5"};
        static const std::vector<std::string> flows = {"2.5", "2,5", "0", "", ".", "10", "x"};
        static const std::vector<std::string> counts = {"1000", "350", "0",  "",
                                                        "95",   "-20", "2e", "4\n5"};
        static const std::vector<std::string> allowances = {"250", "200", "", "0", "abc"};
        static const std::vector<std::string> pipes = {"nuova", "in uso", "", "altro"};
        switch (f) {
            case Field::lungh:
                return PickOf(lengths);
            case Field::quotain:
            case Field::quotafin:
                return PickOf(elevations);
            case Field::portun:
            case Field::portfin:
                return PickOf(flows);
            case Field::abitun:
            case Field::abitfin:
                return PickOf(counts);
            case Field::tipoc:
                return PickOf(pipes);
            default:
                return PickOf(allowances);
        }
    }

    // The grid shows sections near the start most of the time.
    int ScrollTarget() {
        return Pick(0, 9) == 0 ? Pick(1, DataWindowModel::MaxFirstVisible) : Pick(1, Reach - 9);
    }

    // The sections the action may change, or nothing for an action that only
    // shows; `shiftAt` marks a deleted section.
    struct Expectation {
        std::set<int> sections;
        int shiftAt = 0;
        int shiftLast = 0;
        bool everything = false;
        // The section of a number still being typed when the action began,
        // and its fields before that typing.
        int judged = 0;
        std::array<FieldValue, InputFieldCount> judgedBefore{};
        // After a deletion, the section the fire button may write into.
        int fired = 0;
    };

    Expectation Act(std::string& name);
    Expectation ActOtherwise(std::string& name, Expectation e, int roll, int row, int section);
    void FollowTyping();
    void Verify(const Inputs& before, const Inputs& after, const Expectation& e,
                const std::string& trail);

    ProgramState state;
    testing::FakeDialogs dialogs;
    testing::FakeWindows windows{state, dialogs};
    testing::FakeDesk desk;
    fs::path root;
    unsigned seed = 0;
    std::mt19937 rng;
    // A number typed and not yet judged, and its section as it was before
    // that typing: a refusal when the box is left takes the typing back.
    int pendingSection = 0;
    Field pendingField = Field::quotain;
    std::array<FieldValue, InputFieldCount> pendingBefore{};
    int residentsSection = 0;  // the section the fire button acts on
};

bool HasInput(const Project& p, int s) {
    return std::any_of(InputFields.begin(), InputFields.end(),
                       [&](Field f) { return !p.sections.Get(s, f).IsEmpty(); });
}

int LastWithInput(const Project& p) {
    for (int s = MaxSections; s >= 1; --s) {
        for (const Field f : InputFields) {
            if (!p.sections.Get(s, f).IsEmpty()) {
                return s;
            }
        }
    }
    return 0;
}

UserDataInvariants::Expectation UserDataInvariants::Act(std::string& name) {
    Expectation e;
    // Whatever else happens, a number still being typed may be judged: an
    // elevation emptied, or a refused value taken back with its typing.
    // That completes the user's own edit of that section.
    if (pendingSection != 0) {
        e.sections.insert(pendingSection);
        e.judged = pendingSection;
        e.judgedBefore = pendingBefore;
    }
    const int roll = Pick(0, 99);
    int row = Pick(1, DataWindowModel::Rows);
    if (roll < 45) {
        Field f = InputFields[static_cast<std::size_t>(Pick(0, InputFieldCount - 1))];
        std::string text = TextFor(f);
        // Now and then the project grows by one section, so that deleted
        // rows have sections after them to move up.
        const int next = state.project.enteredSectionCount + 2 - grid().ScrollValue();
        if (next >= 1 && next <= DataWindowModel::Rows && Pick(0, 3) == 0) {
            row = next;
            f = Field::lungh;
            text = "150";
        }
        const int section = grid().SectionOfRow(row);
        name = "scrivi \"" + text + "\" in " + std::string(FieldName(f)) + " riga " +
               std::to_string(row);
        const auto sectionBefore = Snapshot()[static_cast<std::size_t>(section)];
        const int scroll = grid().ScrollValue();
        grid().TypeInBox(row, f, text);
        e.sections.insert(section);
        if (const auto typing = grid().BoxBeingTyped();
            typing && (typing->section != pendingSection || typing->field != pendingField)) {
            pendingBefore = sectionBefore;  // a new typing: what a refusal goes back to
        }
        // Residents taken: the button acts on them, unless they are no whole
        // number and so taken back when their box is left.
        if ((f == Field::abitun || f == Field::abitfin) && grid().ScrollValue() == scroll &&
            grid().ResidentsSide() == (f == Field::abitun ? FlowSide::Along : FlowSide::End) &&
            state.project.sections.Get(section, f).DisplayText() == text) {
            residentsSection = text.empty() || IsWholeNumber(text, false) ? section : 0;
        }
        // Most of the time the user goes on with Tab.
        if (Pick(0, 3) != 0) {
            grid().LeaveBox(row, f);
        }
        FollowTyping();
        return e;
    }
    const Expectation shown = ActOtherwise(name, e, roll, row, grid().SectionOfRow(row));
    FollowTyping();
    return shown;
}

void UserDataInvariants::FollowTyping() {
    const auto typing = grid().BoxBeingTyped();
    pendingSection = typing ? typing->section : 0;
    pendingField = typing ? typing->field : Field::lungh;
}

UserDataInvariants::Expectation UserDataInvariants::ActOtherwise(std::string& name, Expectation e,
                                                                 int roll, int row, int section) {
    if (roll < 50) {
        name = "tipo di condotta riga " + std::to_string(row);
        grid().PickPipeType(row, Pick(0, 1) == 0 ? "nuova" : "in uso");
        e.sections.insert(section);
        return e;
    }
    if (roll < 54) {
        // Half the time a row with a length above the residents the fire
        // button would act on, when they are on screen: the rows below move up.
        std::vector<int> above;
        for (int r = 1; r <= residentsSection - grid().ScrollValue() && r <= DataWindowModel::Rows;
             ++r) {
            if (!grid().BoxText(r, Field::lungh).empty()) {
                above.push_back(r);
            }
        }
        if (!above.empty() && Pick(0, 1) == 0) {
            row = PickOf(above);
            section = grid().SectionOfRow(row);
        }
        name = "cancella riga " + std::to_string(row);
        // The X judges a number still being typed first, as any step does;
        // a refusal that brings the grid to it means the X pressed was for a
        // row that moved away, and nothing is deleted.
        const int scroll = grid().ScrollValue();
        grid().FinishTyping();
        if (grid().ScrollValue() != scroll) {
            return e;
        }
        const bool hasLength = !grid().BoxText(row, Field::lungh).empty();
        const int last =
            std::max({section, state.project.enteredSectionCount, LastWithInput(state.project)});
        const bool followHasInput = residentsSection != 0 &&
                                    residentsSection <= LastWithInput(state.project) &&
                                    HasInput(state.project, residentsSection);
        grid().DeleteRow(row);
        if (hasLength) {
            e.shiftAt = section;
            e.shiftLast = last;
            // The fire button follows the residents typed to their new number.
            if (residentsSection == section || (residentsSection > section && !followHasInput)) {
                residentsSection = 0;
            } else if (residentsSection > section) {
                --residentsSection;
            }
        }
        // Often the button right after: it must write where the residents
        // went, never into the section that moved into their row.
        if (Pick(0, 1) == 0) {
            name += " e antincendio";
            e.fired = residentsSection;
            const std::optional<FlowSide> side = grid().ResidentsSide();
            const int marker = side ? static_cast<int>(*side) : 0;
            const bool residents = e.fired != 0 && marker != 0 &&
                                   NumericValue(state.project.sections, e.fired,
                                                marker == 1 ? Field::abitun : Field::abitfin) > 0;
            grid().FireButton();
            if (residents) {
                EXPECT_EQ(state.project.sections.Get(
                              e.fired, marker == 1 ? Field::dotazun : Field::dotazfin),
                          FieldValue::Text("antincend."))
                    << "seed " << seed << ": tronco " << e.fired;
            }
        }
        return e;
    }
    if (roll < 56) {
        name = "antincendio";
        if (residentsSection != 0) {
            e.sections.insert(residentsSection);
        }
        grid().FireButton();
        return e;
    }
    if (roll < 57) {
        name = "cancella dati finestra";
        grid().ClearWindow();
        e.everything = true;
        residentsSection = 0;
        return e;
    }
    if (roll < 58) {
        name = "frontespizio";
        title().TypeInField(Pick(0, 1) == 0 ? TitleField::progetto : TitleField::luogo,
                            Pick(0, 1) == 0 ? "Rete" : "");
        return e;
    }
    // Everything below only shows (a check or a document first judges a
    // number still being typed, which the expectation allows). The wheel
    // over the grid, wherever it is, only turns the grid.
    if (roll < 62) {
        const int notches = Pick(-3, 3);
        name = "rotella " + std::to_string(notches);
        grid().Scroll(grid().ScrollValue() - 3 * notches);
    } else if (roll < 70) {
        const int value = Pick(0, 2) == 0 ? grid().ScrollValue() + Pick(-1, 1) : ScrollTarget();
        name = "scorri a " + std::to_string(value);
        grid().Scroll(value);
    } else if (roll < 72) {
        name = "punta riga " + std::to_string(row);
        grid().PointAtRow(row);
    } else if (roll < 80) {
        name = "controllo dati";
        grid().CheckData();
    } else if (roll < 84) {
        name = "aggiorna";
        grid().RefreshGrid();
    } else if (roll < 87) {
        name = "salva";
        dialogs.files = {(root / "Acquenza-dati-strada").string()};
        ArchiveCommands(state, dialogs, windows,
                        Pick(0, 1) == 0 ? WindowId::dati : WindowId::frontespizio)
            .SaveAs();
    } else if (roll < 95) {
        DocumentCommands documents(state, dialogs, windows, desk);
        switch (Pick(0, 4)) {
            case 0:
                name = "dati finestra";
                documents.DataWindowDocument();
                break;
            case 1:
                name = "relazione";
                title().SelectPrintMode(1);
                documents.FullReport();
                break;
            case 2:
                name = "stampa diretta";
                title().SelectPrintMode(2);
                dialogs.nextPrinter = std::make_unique<reports_test::RecordingPrinter>();
                documents.FullReport();
                break;
            case 3:
                name = "solo frontespizio";
                documents.TitlePageDocument();
                break;
            default:
                name = "modello acquisizione";
                documents.AcquisitionTemplate();
                break;
        }
        fs::remove_all(root / "Acquenza");
    } else {
        // Saved and opened again: the same sections come back.
        name = "salva e apri";
        const fs::path file = root / "Acquenza-dati-riapri";
        fs::remove(file);
        title().TypeInField(TitleField::progetto, "Rete");
        dialogs.files = {file.string()};
        ArchiveCommands(state, dialogs, windows, WindowId::dati).SaveAs();
        if (fs::exists(file)) {
            const Inputs saved = Snapshot();
            const int count = state.project.enteredSectionCount;
            dialogs.files = {file.string()};
            ArchiveCommands(state, dialogs, windows, WindowId::frontespizio).Open();
            const Inputs opened = Snapshot();
            for (int s = 1; s <= count; ++s) {
                EXPECT_EQ(opened[static_cast<std::size_t>(s)], saved[static_cast<std::size_t>(s)])
                    << "seed " << seed << ": tronco " << s << " dopo salva e apri";
            }
            e.everything = true;
            residentsSection = 0;
        }
    }
    return e;
}

void UserDataInvariants::Verify(const Inputs& before, const Inputs& after, const Expectation& e,
                                const std::string& trail) {
    if (e.everything) {
        return;
    }
    static const std::array<FieldValue, InputFieldCount> emptied{};
    // With a deleted row, the documented shift: later sections move up one.
    auto expected = [&](int s) -> const std::array<FieldValue, InputFieldCount>& {
        if (e.shiftAt == 0 || s < e.shiftAt || s > e.shiftLast) {
            return before[static_cast<std::size_t>(s)];
        }
        return s == e.shiftLast ? emptied : before[static_cast<std::size_t>(s + 1)];
    };
    for (int s = 0; s <= MaxSections; ++s) {
        const auto i = static_cast<std::size_t>(s);
        if ((e.sections.count(s) != 0 && e.shiftAt == 0) || (e.fired != 0 && s == e.fired)) {
            continue;
        }
        for (int f = 0; f < InputFieldCount; ++f) {
            const auto j = static_cast<std::size_t>(f);
            if (after[i][j] == expected(s)[j]) {
                continue;
            }
            // A number being typed is judged before a row is deleted: an
            // elevation may be emptied, a refused value taken back to what
            // the section held before that typing.
            const int origin = e.shiftAt != 0 && s >= e.shiftAt && s < e.shiftLast ? s + 1 : s;
            const bool elevation =
                f == static_cast<int>(Field::quotain) || f == static_cast<int>(Field::quotafin);
            const bool judged = e.judged != 0 && origin == e.judged &&
                                ((elevation && after[i][j] == FieldValue::Text("")) ||
                                 after[i][j] == e.judgedBefore[j]);
            ASSERT_TRUE(judged) << "seed " << seed << ": tronco " << s << ", campo "
                                << FieldName(static_cast<Field>(f)) << " cambiato da «"
                                << before[i][j].DisplayText() << "» a «"
                                << after[i][j].DisplayText() << "»\n"
                                << trail;
        }
    }
}

TEST_F(UserDataInvariants, ShowingNeverEditsAndAnEditStaysInItsSection) {
    std::deque<std::string> trail;
    int edits = 0;
    for (int step = 1; step <= Steps; ++step) {
        const Inputs before = Snapshot();
        std::string name;
        const Expectation e = Act(name);
        trail.push_back(std::to_string(step) + ": " + name);
        if (trail.size() > 25) {
            trail.pop_front();
        }
        std::string log;
        for (const std::string& line : trail) {
            log += line + "\n";
        }
        const Inputs after = Snapshot();
        Verify(before, after, e, log);
        if (HasFatalFailure()) {
            return;
        }
        edits += after != before ? 1 : 0;
        dialogs.shown.clear();
    }
    // The road must really have built and changed projects.
    EXPECT_GT(edits, Steps / 10) << "seed " << seed;
}

}  // namespace
}  // namespace acquenza
