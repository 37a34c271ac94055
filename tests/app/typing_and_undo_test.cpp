// The edges of typing in the grid: what a box may be left with, what undo
// and redo may bring back after a refusal, where the fire button writes after
// a row was deleted, and what the grid shows while a message speaks of a
// section scrolled away.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/fakes.h"
#include "app/undo_commands.h"

namespace acquenza {
namespace {

using Inputs = std::vector<std::array<FieldValue, InputFieldCount>>;

class Typing : public ::testing::Test {
  protected:
    void SetUp() override {
        InitProgramValues(state.identity.values);
        InitSharedTitles(state.identity.titles, state.identity.values);
    }
    DataWindowModel& grid() { return windows.LoadDataWindow(); }
    TitlePageModel& title() { return windows.LoadTitlePage(); }
    const FieldValue& Stored(int s, Field f) const { return state.project.sections.Get(s, f); }

    // Key by key, as the box reports it, then Tab.
    void Type(int row, Field f, const std::string& text, bool leave = true) {
        for (std::size_t n = 1; n <= text.size(); ++n) {
            grid().TypeInBox(row, f, text.substr(0, n));
        }
        if (leave) {
            grid().LeaveBox(row, f);
        }
    }
    // A calculable section in the row of the grid at its first position.
    void TypeSection(int row) {
        const int s = row;
        Type(row, Field::lungh, std::to_string(100 + s));
        Type(row, Field::quotain, std::to_string(400 - 10 * s));
        Type(row, Field::quotafin, std::to_string(395 - 10 * s));
        Type(row, Field::portun, "2");
        Type(row, Field::portfin, "1");
        grid().PickPipeType(row, "nuova");
    }
    Inputs Snapshot() const {
        Inputs all(MaxSections + 1);
        for (int s = 1; s <= MaxSections; ++s) {
            for (const Field f : InputFields) {
                all[static_cast<std::size_t>(s)][static_cast<std::size_t>(f)] = Stored(s, f);
            }
        }
        return all;
    }
    // Every undo back to the start, then every redo: `check` after each.
    void WalkTheHistory(const std::function<void(const std::string&)>& check) {
        UndoCommands commands(state, windows);
        while (state.history.CanUndo()) {
            const std::string step = "annulla " + state.history.UndoName();
            commands.Undo();
            check(step);
        }
        while (state.history.CanRedo()) {
            const std::string step = "ripeti " + state.history.RedoName();
            commands.Redo();
            check(step);
        }
    }

    ProgramState state;
    testing::FakeDialogs dialogs;
    testing::FakeWindows windows{state, dialogs};
};

// Residents typed at the end of section 5, then a row deleted before the
// button is pressed: the fire flow goes to those residents, renumbered, and
// to nobody when their section was the one deleted.
TEST_F(Typing, TheFireButtonFollowsItsResidentsThroughADeletion) {
    struct Case {
        int deletedRow;
        int flowSection;  // 0: the button writes nothing
    };
    for (const Case c : {Case{2, 4}, Case{5, 0}, Case{6, 5}, Case{1, 4}}) {
        SCOPED_TRACE("riga cancellata " + std::to_string(c.deletedRow));
        for (int r = 1; r <= 7; ++r) {
            TypeSection(r);
        }
        Type(5, Field::abitfin, "4000");
        grid().DeleteRow(c.deletedRow);
        const Inputs before = Snapshot();
        grid().FireButton();
        const Inputs after = Snapshot();
        for (int s = 1; s <= 8; ++s) {
            const auto i = static_cast<std::size_t>(s);
            if (s != c.flowSection) {
                EXPECT_EQ(after[i], before[i]) << "tronco " << s;
                continue;
            }
            EXPECT_EQ(Stored(s, Field::portfin), FieldValue::Text("8,82"));
            EXPECT_EQ(Stored(s, Field::dotazfin), FieldValue::Text("antincend."));
            EXPECT_EQ(Stored(s, Field::abitfin).DisplayText(), "4000");
        }
        grid().ClearWindow();
    }
}

// A refused value is gone for good: neither undo nor redo, in any order,
// brings it back, and undo returns to before the typing that produced it.
TEST_F(Typing, ARefusedValueNeverComesBackThroughUndoOrRedo) {
    TypeSection(1);
    TypeSection(2);
    // The initial elevation of section 1 typed below its final one and
    // left: both emptied, as the window always did.
    Type(1, Field::quotain, "100");
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(Stored(1, Field::quotain), FieldValue::Text(""));
    EXPECT_EQ(Stored(1, Field::quotafin), FieldValue::Text(""));
    // Section 2's final elevation above its initial one, and before its box
    // is left the user types in the title page: judged first, in its step.
    Type(2, Field::quotafin, "500", false);
    state.history.EndTyping();  // a title-page field visited and left meanwhile
    title().TypeInField(TitleField::progetto, "Rete");
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(Stored(2, Field::quotafin), FieldValue::Text(""));
    // Not a whole number: the typing is taken back at once, and out of the
    // history.
    const std::string lastStep = state.history.UndoName();
    Type(2, Field::lungh, "1e");
    EXPECT_EQ(dialogs.shown.back().text,
              "Tronco n. 2: nella casella «lunghezza» si può digitare solo un numero.\n«1e» non "
              "è un numero completo: viene ripristinato il valore precedente.");
    EXPECT_EQ(Stored(2, Field::lungh), FieldValue::Text("102"));
    EXPECT_EQ(grid().BoxText(2, Field::lungh), "102");
    EXPECT_EQ(state.history.UndoName(), lastStep);
    EXPECT_FALSE(state.history.CanRedo());

    const auto refusedShows = [&] {
        return Stored(1, Field::quotain) == FieldValue::Text("100") ||
               Stored(2, Field::quotafin) == FieldValue::Text("500") ||
               Stored(2, Field::lungh).DisplayText().find('e') != std::string::npos;
    };
    WalkTheHistory([&](const std::string& step) {
        EXPECT_FALSE(refusedShows()) << step;
        for (int r = 1; r <= 2; ++r) {
            for (const Field f : {Field::lungh, Field::quotain, Field::quotafin}) {
                EXPECT_EQ(grid().BoxText(r, f), Stored(r, f).DisplayText()) << step;
            }
        }
    });
    // One undo of each refused typing returns the values from before it.
    UndoCommands commands(state, windows);
    commands.Undo();  // the title page
    commands.Undo();  // section 2's final elevation
    EXPECT_EQ(Stored(2, Field::quotafin), FieldValue::Text("375"));
    commands.Undo();  // section 1's initial elevation
    EXPECT_EQ(Stored(1, Field::quotain), FieldValue::Text("390"));
    EXPECT_EQ(Stored(1, Field::quotafin), FieldValue::Text("385"));
}

// Typing in a box, going to another and coming back to type again: two
// steps, so one undo takes back only the second edit.
TEST_F(Typing, TwoVisitsToOneBoxAreTwoSteps) {
    TypeSection(1);
    struct Case {
        Field field;
        std::string first;
        std::string second;
    };
    for (const Case& c : {Case{Field::lungh, "120", "130"}, Case{Field::quotafin, "380", "370"},
                          Case{Field::tipoc, "in uso", "nuova"}}) {
        SCOPED_TRACE(FieldName(c.field));
        Type(1, c.field, c.first);
        grid().LeaveBox(1, Field::abitun);  // a visit to another box
        Type(1, c.field, c.second, false);
        UndoCommands(state, windows).Undo();
        EXPECT_EQ(Stored(1, c.field).DisplayText(), c.first);
        UndoCommands(state, windows).Redo();
        EXPECT_EQ(Stored(1, c.field).DisplayText(), c.second);
    }
    // Typed back to what the box held: no step, nothing unsaved.
    state.history.MarkSaved();
    const std::size_t steps = state.history.StepCount();
    Type(1, Field::lungh, "130");  // over "130", by way of "1" and "13"
    grid().TypeInBox(1, Field::tipoc, "n");
    grid().TypeInBox(1, Field::tipoc, "nuova");
    grid().LeaveBox(1, Field::tipoc);
    EXPECT_EQ(state.history.StepCount(), steps);
    EXPECT_FALSE(state.history.Modified());
    // And the next edit of that box is a step of its own.
    Type(1, Field::lungh, "140");
    UndoCommands(state, windows).Undo();
    EXPECT_EQ(Stored(1, Field::lungh).DisplayText(), "130");
}

TEST_F(Typing, RedoingTheClearingLeavesNoResultsOnScreen) {
    TypeSection(1);
    ASSERT_FALSE(grid().ResultText(Field::dia).empty());
    grid().ClearWindow();
    UndoCommands commands(state, windows);
    commands.Undo();
    EXPECT_FALSE(grid().ResultText(Field::dia).empty());
    commands.Redo();
    for (const Field f : {Field::per, Field::dia, Field::vel, Field::sca}) {
        EXPECT_EQ(grid().ResultText(f), "") << FieldName(f);
    }
}

// A number box shows a finite number the user can read back, or nothing.
TEST_F(Typing, ABoxIsLeftOnlyWithAWholeFiniteNumber) {
    struct Case {
        Field field;
        std::vector<std::string> keystrokes;
        std::string message;  // the last one shown; empty for none
        std::string stored;   // once the box is left
    };
    const std::string length =
        "Tronco n. 1: nella casella «lunghezza» si può digitare solo un numero.";
    const std::vector<Case> cases = {
        {Field::lungh,
         {"1", "1e"},
         length + "\n«1e» non è un numero completo: viene ripristinato "
                  "il valore precedente.",
         "101"},
        {Field::lungh,
         {"1", "1e", "1e9", "1e99", "1e999"},
         length + "\nIl numero digitato è troppo grande.",
         "1e99"},
        {Field::lungh,
         {"12\n34"},
         length + "\nIl testo incollato contiene più di un valore: incollarne uno alla volta.",
         "101"},
        {Field::lungh,
         {"1\t5"},
         length + "\nIl testo incollato contiene più di un valore: incollarne uno alla volta.",
         "101"},
        {Field::abitun,
         {"-"},
         "Tronco n. 1: nella casella «abitanti» si può digitare solo un numero non negativo.",
         ""},
        {Field::dotazfin,
         {"-"},
         "Tronco n. 1: nella casella «dotazione idrica2» si può digitare solo un numero non "
         "negativo.",
         ""},
        {Field::portun,
         {"."},
         "Tronco n. 1: nella casella «portata uniforme» si può digitare solo un numero.\n«.» non "
         "è un numero completo: viene ripristinato il valore precedente.",
         "2"},
        {Field::portun, {"2", "2,", "2,5"}, "", "2,5"},
        {Field::quotafin, {"-", "-3"}, "", "-3"},  // below sea level is a place
        {Field::lungh, {" ", " 1", " 1 ", " 1 5", " 1 50", " 1 500"}, "", " 1 500"},
        {Field::lungh, {"1", "1.", "1.5", "1.5e", "1.5e2"}, "", "1.5e2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(FieldName(c.field)) + " «" + c.keystrokes.back() + "»");
        TypeSection(1);
        dialogs.shown.clear();
        for (const std::string& text : c.keystrokes) {
            grid().TypeInBox(1, c.field, text);
        }
        grid().LeaveBox(1, c.field);
        EXPECT_EQ(dialogs.shown.empty() ? "" : dialogs.shown.back().text, c.message);
        EXPECT_EQ(Stored(1, c.field).DisplayText(), c.stored);
        EXPECT_EQ(grid().BoxText(1, c.field).empty(), c.stored.empty());
        grid().ClearWindow();
    }
}

// A value that reads as infinite can only arrive with a file: the data check
// stops at it, before a save or a document could use it.
TEST_F(Typing, TheDataCheckRefusesAValueThatReadsAsInfinite) {
    for (int r = 1; r <= 3; ++r) {
        TypeSection(r);
    }
    state.project.sections.Set(2, Field::portfin, FieldValue::Text("1e400"));
    EXPECT_FALSE(grid().CheckData(DataWindowModel::CheckFor::Documents).ok);
    EXPECT_EQ(dialogs.shown.back().text,
              "Tronco n. 2:\n- nella casella «portata all'estremità» il valore «1e400» non è un "
              "numero utilizzabile.");
    EXPECT_EQ(grid().TakeFocusRequest(), (DataWindowModel::FocusRequest{1, Field::portfin}));
}

// A value refused when its box is left, while the grid shows other sections:
// by the time the message is up, the grid is back on the section and the
// focus is asked for in the refused box.
TEST_F(Typing, ARefusalWhileScrolledAwayShowsItsSectionFirst) {
    struct Case {
        Field field;
        std::string text;
    };
    for (const Case& c : {Case{Field::quotain, "100"}, Case{Field::lungh, "1e"}}) {
        SCOPED_TRACE(FieldName(c.field));
        for (int r = 1; r <= 3; ++r) {
            TypeSection(r);
        }
        Type(3, c.field, c.text, false);
        grid().Scroll(40);
        int firstShown = 0;
        std::optional<DataWindowModel::FocusRequest> focus;
        dialogs.onShow = [&](const Message&) {
            firstShown = grid().ScrollValue();
            focus = grid().TakeFocusRequest();
        };
        grid().LeaveBox(3, c.field);
        dialogs.onShow = nullptr;
        ASSERT_FALSE(dialogs.shown.empty());
        EXPECT_LE(firstShown, 3);
        EXPECT_GT(firstShown + DataWindowModel::Rows, 3);
        ASSERT_TRUE(focus.has_value());
        EXPECT_EQ(grid().SectionOfRow(focus->row), 3);
        EXPECT_EQ(focus->field, c.field);
        grid().ClearWindow();
        dialogs.shown.clear();
    }
}

}  // namespace
}  // namespace acquenza
