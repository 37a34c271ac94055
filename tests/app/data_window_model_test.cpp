#include "app/data_window_model.h"

#include <gtest/gtest.h>

#include "app/fakes.h"

namespace acquenza {
namespace {

using testing::FakeDialogs;
using testing::FakeWindows;

const char* const Check = "Acquenza: controllo dati immessi nella finestra attiva";

class DataWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        InitProgramValues(state.identity.values);
        model.Load();
    }

    // Types a whole section into a row, field by field, as the user would.
    void TypeSection(int row, const std::vector<std::string>& texts) {
        static const std::vector<Field> order = {Field::lungh,   Field::quotain, Field::quotafin,
                                                 Field::portun,  Field::abitun,  Field::dotazun,
                                                 Field::portfin, Field::abitfin, Field::dotazfin};
        for (std::size_t i = 0; i < order.size() && i < texts.size(); ++i) {
            if (!texts[i].empty()) {
                model.TypeInBox(row, order[i], texts[i]);
            }
        }
        if (texts.size() > order.size()) {
            model.PickPipeType(row, texts.back());
        }
    }
    void TypeComplete(int row, int seed = 0) {
        TypeSection(row, {std::to_string(100 + seed), std::to_string(300 - seed),
                          std::to_string(290 - seed), "2", "", "", "1", "", "", "nuova"});
    }
    const FieldValue& Stored(int s, Field f) { return state.project.sections.Get(s, f); }

    ProgramState state;
    FakeDialogs dialogs;
    FakeWindows windows{state, dialogs};
    DataWindowModel model{state, dialogs, windows};
};

TEST_F(DataWindow, ATypedSectionIsCalculatedAndShown) {
    EXPECT_EQ(model.Guidance(),
              "Aprire un file archiviato o iniziare l'immissione digitando la lunghezza del primo "
              "tronco.");
    TypeSection(1, {"100", "100", "90", "", "", "", "10", "", "", "nuova"});
    EXPECT_EQ(model.ResultSectionText(), "tronco n. 1");
    EXPECT_EQ(model.ResultText(Field::dia), "7,6");
    EXPECT_EQ(model.ResultText(Field::per), "9,86");
    EXPECT_EQ(model.ResultText(Field::vel), "2,21");
    EXPECT_EQ(model.ResultText(Field::sca), "0,0025");
    EXPECT_EQ(model.EnteredCountText(), "1");
    EXPECT_TRUE(dialogs.shown.empty());
    // Calculated with the small-flow substitute, yet the flow along is still asked for.
    EXPECT_EQ(model.Guidance(),
              "Tronco n. 1: digitare la portata lungo il tronco o il numero massimo dei residenti "
              "e la dotazione idrica.");
    model.TypeInBox(1, Field::portun, "0");
    EXPECT_EQ(model.Guidance(),
              "Correggere, archiviare quanto immesso, digitare ulteriori dati, andare oltre "
              "(stampa, Frontespizio).");
}

TEST_F(DataWindow, GuidanceNamesTheFirstMissingItem) {
    model.TypeInBox(1, Field::lungh, "100");
    EXPECT_EQ(model.Guidance(), "Tronco n. 1: digitare la quota iniziale.");
    model.TypeInBox(1, Field::quotain, "100");
    model.TypeInBox(1, Field::quotafin, "90");
    EXPECT_EQ(model.Guidance(),
              "Tronco n. 1: digitare la portata lungo il tronco o il numero massimo dei residenti "
              "e la dotazione idrica.");
    model.TypeInBox(1, Field::dotazun, "200");
    EXPECT_EQ(model.Guidance(),
              "Tronco n. 1: digitare il numero dei residenti serviti lungo il tronco.");
    model.TypeInBox(1, Field::portun, "1");
    model.TypeInBox(1, Field::portfin, "1");
    EXPECT_EQ(model.Guidance(), "Scegliere il tipo di condotta.");
}

TEST_F(DataWindow, ALengthBelowABlankRowIsRefused) {
    TypeComplete(1);
    TypeComplete(2, 1);
    model.TypeInBox(4, Field::lungh, "50");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0],
              (Message{Check, "Non è possibile digitare dati lasciando righe in bianco.",
                       MessageIcon::Stop, MessageButtons::Ok, Answer::Ok}));
    EXPECT_EQ(Stored(4, Field::lungh), FieldValue::Text(""));
    EXPECT_EQ(model.ScrollValue(), 2);
    EXPECT_EQ(model.BoxText(1, Field::lungh), "101");  // section 2 now in the first row
    EXPECT_EQ(model.TakeFocusRequest(), (DataWindowModel::FocusRequest{2, Field::lungh}));

    DataWindow::TearDown();
    ProgramState fresh;
    FakeDialogs d;
    DataWindowModel empty(fresh, d, windows);
    empty.Load();
    empty.TypeInBox(2, Field::lungh, "50");
    EXPECT_EQ(d.shown.size(), 1u);
    EXPECT_EQ(empty.ScrollValue(), 1);
    EXPECT_EQ(empty.TakeFocusRequest(), (DataWindowModel::FocusRequest{1, Field::lungh}));
}

TEST_F(DataWindow, BlankRowNearTheEndKeepsTheGridInRange) {
    for (int s = 1; s <= 495; ++s) {
        state.project.sections.Set(s, Field::lungh, FieldValue::Text("10"));
    }
    CountEnteredSections(state.project);
    model.Scroll(491);
    model.TypeInBox(7, Field::lungh, "10");  // section 497 below the empty 496
    EXPECT_EQ(model.ScrollValue(), 491);
    EXPECT_EQ(model.TakeFocusRequest(), (DataWindowModel::FocusRequest{6, Field::lungh}));
}

TEST_F(DataWindow, ElevationsThatRiseAreRefusedOnceTheBoxIsLeft) {
    model.TypeInBox(1, Field::lungh, "100");
    model.TypeInBox(1, Field::quotafin, "120");  // the empty initial elevation counts as 0
    EXPECT_TRUE(dialogs.shown.empty());
    model.LeaveBox(1, Field::quotafin);
    EXPECT_EQ(dialogs.LastText(),
              "Attenzione: la quota iniziale del tronco deve essere superiore alla quota finale.");
    EXPECT_EQ(model.BoxText(1, Field::quotafin), "");
    EXPECT_EQ(Stored(1, Field::quotafin), FieldValue::Text(""));

    model.TypeInBox(1, Field::quotain, "200");
    model.TypeInBox(1, Field::quotafin, "120");
    model.LeaveBox(1, Field::quotafin);
    dialogs.shown.clear();
    model.TypeInBox(1, Field::quotain, "100");
    model.LeaveBox(1, Field::quotain);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text,
              "Attenzione: la quota iniziale del tronco deve essere superiore alla quota finale "
              "(vengono azzerate le due quote: occorre ridigitarle).");
    EXPECT_EQ(model.BoxText(1, Field::quotain), "");
    EXPECT_EQ(model.BoxText(1, Field::quotafin), "");
    EXPECT_EQ(Stored(1, Field::quotain), FieldValue::Text(""));
    EXPECT_EQ(Stored(1, Field::quotafin), FieldValue::Text(""));

    dialogs.shown.clear();
    for (const char* text : {"0", "-3", "0"}) {
        model.TypeInBox(1, Field::quotain, text);
        model.LeaveBox(1, Field::quotain);
        model.TypeInBox(1, Field::quotafin, text);
        model.LeaveBox(1, Field::quotafin);
    }
    model.TypeInBox(1, Field::quotain, "-10");
    model.LeaveBox(1, Field::quotain);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DataWindow, AnElevationTypedKeyByKeyIsJudgedWhole) {
    TypeSection(1, {"100", "390", "100", "2", "", "", "1", "", "", "nuova"});
    // Correcting 390 to 488: on the way the box reads 4 and 48.
    for (const char* text : {"", "4", "48", "488"}) {
        model.TypeInBox(1, Field::quotain, text);
    }
    EXPECT_TRUE(dialogs.shown.empty());
    model.LeaveBox(1, Field::quotain);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(Stored(1, Field::quotain), FieldValue::Text("488"));
    EXPECT_EQ(Stored(1, Field::quotafin), FieldValue::Text("100"));
    EXPECT_TRUE(Stored(1, Field::dia).IsNumber());

    // Still impossible when the user goes on to another command: judged then.
    model.TypeInBox(1, Field::quotain, "50");
    EXPECT_TRUE(model.ResultText(Field::dia).empty());  // no diameter meanwhile
    model.CheckData();
    EXPECT_EQ(dialogs.shown.front().text,
              "Attenzione: la quota iniziale del tronco deve essere superiore alla quota finale "
              "(vengono azzerate le due quote: occorre ridigitarle).");
}

TEST_F(DataWindow, FlowsAreStoredWithACommaAndShownSoAfterARefresh) {
    model.TypeInBox(1, Field::lungh, "100");
    model.TypeInBox(1, Field::portun, "2.5");
    EXPECT_EQ(Stored(1, Field::portun), FieldValue::Text("2,5"));
    EXPECT_EQ(model.BoxText(1, Field::portun), "2.5");
    model.TypeInBox(1, Field::portfin, "");
    EXPECT_EQ(Stored(1, Field::portfin), FieldValue::Number(0));
    model.TypeInBox(2, Field::portfin, "0");  // section 2 has no length
    model.Scroll(11);
    model.Scroll(1);
    EXPECT_EQ(model.BoxText(1, Field::portun), "2,5");
    EXPECT_EQ(model.BoxText(1, Field::portfin), "0");
    EXPECT_EQ(model.BoxText(2, Field::portfin), "");
}

TEST_F(DataWindow, ARefreshInventsNoAllowanceWhereNoResidentsWereTyped) {
    TypeSection(1, {"100", "100", "90", "2", "", "", "1", "", "", "nuova"});
    model.Scroll(11);
    model.Scroll(1);
    EXPECT_EQ(model.BoxText(1, Field::dotazun), "");
    EXPECT_EQ(model.BoxText(1, Field::dotazfin), "");
    EXPECT_TRUE(Stored(1, Field::dotazun).IsEmpty());
    EXPECT_FALSE(model.ResidentsSide().has_value());
}

TEST_F(DataWindow, ResidentsFillTheAllowanceAndTheFlow) {
    model.TypeInBox(1, Field::lungh, "100");
    model.TypeInBox(1, Field::abitun, "1000");
    EXPECT_EQ(model.BoxText(1, Field::dotazun), "250");
    EXPECT_EQ(model.BoxText(1, Field::portun), "9,77");
    EXPECT_EQ(Stored(1, Field::dotazun), FieldValue::Number(250));
    EXPECT_EQ(Stored(1, Field::portun), FieldValue::Text("9,77"));
}

TEST_F(DataWindow, FireButtonUsesTheResidentsTypedLast) {
    TypeComplete(1);
    TypeComplete(2, 1);
    model.TypeInBox(1, Field::abitfin, "4000");
    model.PointAtRow(2);  // pointing elsewhere does not change what the button acts on
    model.FireButton();
    EXPECT_EQ(model.BoxText(1, Field::portfin), "8,82");
    EXPECT_EQ(model.BoxText(1, Field::dotazfin), "antincend.");
    EXPECT_EQ(Stored(1, Field::dotazfin), FieldValue::Text("antincend."));
    EXPECT_FALSE(model.ResidentsSide().has_value());

    model.TypeInBox(2, Field::portfin, "3");
    model.FireButton();  // second press: nothing typed since
    EXPECT_EQ(model.BoxText(2, Field::portfin), "3");

    model.TypeInBox(2, Field::abitun, "-50");
    model.FireButton();
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Stop);
    EXPECT_EQ(dialogs.shown.back().title, Check);
    EXPECT_NE(model.BoxText(2, Field::dotazun), "antincend.");
}

TEST_F(DataWindow, DeletingARowClosesTheGap) {
    for (int r = 1; r <= 5; ++r) {
        TypeComplete(r, r);
    }
    model.DeleteRow(3);
    EXPECT_EQ(model.EnteredCountText(), "4");
    EXPECT_EQ(model.BoxText(3, Field::lungh), "104");
    EXPECT_EQ(model.BoxText(5, Field::lungh), "");
    EXPECT_EQ(Stored(4, Field::lungh), FieldValue::Text("105"));

    model.DeleteRow(7);
    EXPECT_EQ(dialogs.LastText(),
              "I dati del tronco n. 7 non sono ancora considerati in quanto manca la lunghezza.");
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Exclamation);
}

TEST_F(DataWindow, ScrollingRecalculatesTheShownSections) {
    for (int s = 1; s <= 15; ++s) {
        auto& t = state.project.sections;
        t.Set(s, Field::lungh, FieldValue::Text("100"));
        t.Set(s, Field::quotain, FieldValue::Text("100"));
        t.Set(s, Field::quotafin, FieldValue::Text("90"));
        t.Set(s, Field::portfin, FieldValue::Text("10"));
        t.Set(s, Field::tipoc, FieldValue::Text("nuova"));
    }
    CountEnteredSections(state.project);
    model.Scroll(6);
    for (int s = 6; s <= 15; ++s) {
        EXPECT_EQ(Stored(s, Field::dia), FieldValue::Number(7.6)) << s;
    }
    EXPECT_TRUE(Stored(5, Field::dia).IsNothing());
    EXPECT_EQ(model.NumCaption(1), "6");
    EXPECT_EQ(model.NumTooltip(1), "vengono visualizzati i risultati del tronco n. 6");
    EXPECT_EQ(model.DeleteTooltip(10), "cliccare per cancellare la riga n. 15");
    model.PointAtRow(3);
    EXPECT_TRUE(model.RowHighlighted(3));
    EXPECT_EQ(model.ResultSectionText(), "tronco n. 8");
}

TEST_F(DataWindow, TheDataCheckLeadsToTheFirstGap) {
    TypeComplete(1);
    TypeSection(2, {"80", "290", "", "1", "", "", "1", "", "", "nuova"});
    TypeComplete(3, 2);
    dialogs.shown.clear();
    model.Scroll(50);
    model.CheckData();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Tronco n. 2:\n- manca il dato della quota finale.");
    EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Stop);
    EXPECT_EQ(model.ScrollValue(), 2);
    EXPECT_EQ(model.TakeFocusRequest(), (DataWindowModel::FocusRequest{1, Field::quotafin}));

    model.TypeInBox(1, Field::quotafin, "280");
    dialogs.shown.clear();
    EXPECT_TRUE(model.CheckData(DataWindowModel::CheckFor::Documents).ok);
    EXPECT_TRUE(dialogs.shown.empty());
    model.CheckData();
    EXPECT_EQ(dialogs.LastText(),
              "I dati sono stati immessi correttamente per n. 3 tronchi: i valori non inseriti "
              "vengono considerati nulli.");
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Information);
}

// Complete sections the calculation cannot size are refused by the check
// before any report, named with what to change; a save lets them through.
TEST_F(DataWindow, SectionsThatCannotBeSizedStopTheCheckButNotASave) {
    const struct {
        const char *lungh, *quotain, *quotafin, *portfin;
        const char* message;
        Field focus;
    } cases[] = {
        {"100", "280", "285", "1",
         "- il dislivello non consente il dimensionamento: la quota iniziale (280 m) non supera "
         "la quota finale (285 m). Correggere le quote: la quota iniziale deve essere maggiore "
         "di quella finale.",
         Field::quotain},
        {"100", "280.5", "280.5", "1",
         "- il dislivello non consente il dimensionamento: la quota iniziale (280,5 m) non "
         "supera la quota finale (280,5 m). Correggere le quote: la quota iniziale deve essere "
         "maggiore di quella finale.",
         Field::quotain},
        {"100", "280", "279.99", "5000000",
         "- il dislivello non consente il dimensionamento: nessun diametro fino a 10 metri "
         "contiene la perdita di carico entro il dislivello disponibile. Ridurre la portata o la "
         "lunghezza del tronco, oppure aumentare il dislivello.",
         Field::portun},
        // Values that read as infinite are refused before these, by the check of
        // every box's number.
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        ProgramState fresh;
        FakeDialogs shown;
        FakeWindows others{fresh, shown};
        DataWindowModel check{fresh, shown, others};
        InitProgramValues(fresh.identity.values);
        check.Load();
        auto& t = fresh.project.sections;
        for (int s = 1; s <= 14; ++s) {
            const bool odd = s == 12;
            t.Set(s, Field::lungh, FieldValue::Text(odd ? c.lungh : "100"));
            t.Set(s, Field::quotain, FieldValue::Text(odd ? c.quotain : "300"));
            t.Set(s, Field::quotafin, FieldValue::Text(odd ? c.quotafin : "290"));
            t.Set(s, Field::portun, FieldValue::Text("1"));
            t.Set(s, Field::portfin, FieldValue::Text(odd ? c.portfin : "1"));
            t.Set(s, Field::tipoc, FieldValue::Text("nuova"));
        }
        // A gap after it is reported only once the section is mended.
        t.Set(13, Field::tipoc, FieldValue::Text(""));
        CountEnteredSections(fresh.project);
        check.CheckData();
        ASSERT_EQ(shown.shown.size(), 1u);
        EXPECT_EQ(shown.LastText(), std::string("Tronco n. 12:\n") + c.message);
        EXPECT_EQ(shown.shown[0].icon, MessageIcon::Stop);
        EXPECT_EQ(shown.shown[0].title, Check);
        EXPECT_EQ(check.ScrollValue(), 12);
        EXPECT_EQ(check.TakeFocusRequest(), (DataWindowModel::FocusRequest{1, c.focus}));

        // A save stops only at the real gap, and once that is filled, passes.
        EXPECT_FALSE(check.CheckData(DataWindowModel::CheckFor::Save).ok);
        EXPECT_EQ(shown.LastText(),
                  "Tronco n. 13:\n- scegliere il tipo di condotta ('nuova' o 'in uso').");
        t.Set(13, Field::tipoc, FieldValue::Text("nuova"));
        shown.shown.clear();
        EXPECT_TRUE(check.CheckData(DataWindowModel::CheckFor::Save).ok);
        EXPECT_TRUE(shown.shown.empty());
        EXPECT_FALSE(check.CheckData(DataWindowModel::CheckFor::Documents).ok);
        EXPECT_EQ(shown.LastText(), std::string("Tronco n. 12:\n") + c.message);
    }
}

TEST_F(DataWindow, TheDataCheckOnAnEmptyProjectWarns) {
    EXPECT_FALSE(model.CheckData(DataWindowModel::CheckFor::Documents).ok);
    EXPECT_EQ(dialogs.LastText(),
              "Non esistono dati riconosciuti:\n- per procedere è necessario digitare almeno la "
              "lunghezza del tronco n.1;\n- il controllo viene effettuato solo sui tronchi per i "
              "quali esiste il dato della lunghezza.");
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Exclamation);
}

TEST_F(DataWindow, AGapAboveTheLastPageIsFocusedWhereItIsShown) {
    for (int s = 1; s <= 495; ++s) {
        auto& t = state.project.sections;
        t.Set(s, Field::lungh, FieldValue::Text("10"));
        t.Set(s, Field::quotain, FieldValue::Text("10"));
        t.Set(s, Field::quotafin, FieldValue::Text("5"));
        t.Set(s, Field::portun, FieldValue::Text("1"));
        t.Set(s, Field::portfin, FieldValue::Text("1"));
        t.Set(s, Field::tipoc, FieldValue::Text(s == 495 ? "" : "nuova"));
    }
    CountEnteredSections(state.project);
    model.CheckData();
    EXPECT_EQ(dialogs.LastText(),
              "Tronco n. 495:\n- scegliere il tipo di condotta ('nuova' o 'in uso').");
    EXPECT_EQ(model.ScrollValue(), 491);
    EXPECT_EQ(model.TakeFocusRequest(), (DataWindowModel::FocusRequest{5, Field::tipoc}));
}

TEST_F(DataWindow, ClearingEmptiesEverythingAndKeepsTheScroll) {
    for (int r = 1; r <= 10; ++r) {
        TypeComplete(r, r);
    }
    model.Scroll(6);
    for (int r = 5; r <= 9; ++r) {
        TypeComplete(r, r + 10);
    }
    ASSERT_EQ(model.EnteredCountText(), "14");
    model.ClearWindow();
    EXPECT_EQ(model.ScrollValue(), 6);
    EXPECT_EQ(model.EnteredCountText(), "0");
    EXPECT_EQ(state.project.enteredSectionCount, 0);
    for (int r = 1; r <= 10; ++r) {
        for (Field f : InputFields) {
            EXPECT_EQ(model.BoxText(r, f), "");
        }
    }
    for (int s = 1; s <= MaxSections; ++s) {
        ASSERT_EQ(Stored(s, Field::lungh), FieldValue::Text("")) << s;
    }
    EXPECT_EQ(model.ResultText(Field::dia), "");
    EXPECT_EQ(model.Guidance(),
              "Aprire un file archiviato o iniziare l'immissione digitando la lunghezza del primo "
              "tronco.");
}

TEST_F(DataWindow, PipeTypesSetTheRoughness) {
    EXPECT_EQ(model.PipeTypeList(4), (std::vector<std::string>{"nuova", "in uso"}));
    const std::vector<std::pair<std::string, FieldValue>> cases = {
        {"in uso", FieldValue::Number(0.004)},
        {"nuova", FieldValue::Number(0.0025)},
        {"ghisa", FieldValue::Number(0.004)},
        {"", FieldValue()},
    };
    for (const auto& [text, sca] : cases) {
        model.TypeInBox(1, Field::tipoc, text);
        EXPECT_EQ(Stored(1, Field::sca), sca) << text;
    }
    model.PickPipeType(1, "in uso");
    EXPECT_EQ(Stored(1, Field::sca), FieldValue::Number(0.004));
}

TEST_F(DataWindow, TextTheFileCannotHoldIsRefusedAtEntry) {
    model.TypeInBox(1, Field::lungh, "100");
    for (const std::string bad : {"10\"", "Ω"}) {
        model.TypeInBox(1, Field::lungh, bad);
        EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Stop);
        EXPECT_EQ(model.BoxText(1, Field::lungh), "100");
        EXPECT_EQ(Stored(1, Field::lungh), FieldValue::Text("100"));
    }
}

TEST_F(DataWindow, BackgroundQuestionAndColourDialog) {
    dialogs.answers = {Answer::No};
    dialogs.nextColour = Rgb{10, 20, 30};
    model.ChooseBackground();
    EXPECT_EQ(dialogs.shown.back(),
              (Message{"Acquenza: colore di sfondo",
                       "Colori uguali e riposanti (grigio) per tutte le finestre?",
                       MessageIcon::None, MessageButtons::YesNo, Answer::Yes}));
    EXPECT_EQ(model.Background(), (Rgb{10, 20, 30}));

    dialogs.answers = {Answer::No};
    model.ChooseBackground();  // cancelled: unchanged, and the last colour was preselected
    EXPECT_EQ(dialogs.colourDialogOpenedWith.back(), (Rgb{10, 20, 30}));
    EXPECT_EQ(model.Background(), (Rgb{10, 20, 30}));

    dialogs.answers = {Answer::Yes};
    EXPECT_FALSE(windows.HasTitlePage());
    model.ChooseBackground();
    EXPECT_EQ(model.Background(), LightGrey);
    // The title page turns grey too, loaded for it but not shown.
    EXPECT_EQ(windows.LoadTitlePage().Background(), LightGrey);
    EXPECT_FALSE(windows.IsOpen(WindowId::frontespizio));
    const std::size_t asked = dialogs.shown.size();
    model.ChooseBackground();  // already grey: straight to the dialog
    EXPECT_EQ(dialogs.shown.size(), asked);
    EXPECT_EQ(dialogs.colourDialogOpenedWith.size(), 3u);
}

TEST_F(DataWindow, HelpAndGuideQuestions) {
    model.ShowHelpMessage();
    EXPECT_EQ(dialogs.shown.back().title, "Acquenza: aiuto in linea");
    const std::string help = dialogs.LastText();
    EXPECT_EQ(std::count(help.begin(), help.end(), '\n'), 6);
    dialogs.answers = {Answer::No};
    model.AskForGuide();
    EXPECT_EQ(dialogs.shown.back().text,
              "E' questa la finestra 'Dati': si vuole la guida della finestra?");
    EXPECT_TRUE(windows.log.empty());
    dialogs.answers = {Answer::Yes};
    model.AskForGuide();
    EXPECT_EQ(windows.log.back(), "show " + std::to_string(static_cast<int>(WindowId::guidadati)));
}

}  // namespace
}  // namespace acquenza

namespace acquenza {
namespace {

// What a refresh used to do to typed data, replayed: each case must now
// leave the sections exactly as the user left them.
TEST_F(DataWindow, RefreshesChecksAndDeletesLeaveOtherSectionsAlone) {
    for (int r = 1; r <= 4; ++r) {
        TypeComplete(r, r);
    }
    // An emptied length: the check stops there, and section 3 keeps its own.
    model.TypeInBox(2, Field::lungh, "");
    model.CheckData();
    EXPECT_EQ(dialogs.LastText(), "Tronco n. 2:\n- digitare la lunghezza.");
    EXPECT_EQ(Stored(3, Field::lungh), FieldValue::Text("103"));
    // X on row 4 (the grid now starts at section 2, so section 5's row is
    // empty): section 4 itself goes, section 3 stays where it was.
    model.Scroll(1);
    model.DeleteRow(4);
    EXPECT_EQ(Stored(3, Field::quotain), FieldValue::Text("297"));
    EXPECT_TRUE(Stored(4, Field::lungh).IsEmpty());
    EXPECT_EQ(state.project.enteredSectionCount, 2);

    // A flow typed over a derived one stays typed.
    model.TypeInBox(1, Field::abitun, "1000");
    EXPECT_EQ(Stored(1, Field::portun), FieldValue::Text("9,77"));
    model.TypeInBox(1, Field::portun, "5");
    model.TypeInBox(1, Field::dotazun, "300");
    // Empty flows stay empty, so the check still asks for them.
    state.project.sections.Set(3, Field::portfin, FieldValue());
    state.project.sections.Set(3, Field::abitfin, FieldValue());
    for (int value : {11, 1, 2, 1}) {
        model.Scroll(value);
    }
    model.RefreshGrid();
    EXPECT_EQ(Stored(1, Field::portun), FieldValue::Text("5"));
    EXPECT_EQ(Stored(1, Field::dotazun), FieldValue::Text("300"));
    EXPECT_TRUE(Stored(3, Field::portfin).IsNothing());
    model.TypeInBox(2, Field::lungh, "102");
    model.CheckData();
    EXPECT_EQ(dialogs.LastText(),
              "Tronco n. 3:\n- digitare la 'portata es.' o il numero di residenti e la dotazione "
              "idrica o il numero di residenti e cliccare su 'Antincendio'.");
}

// A length that is present but not a positive number would sit outside the
// count, and a save would drop it with every section after it.
TEST_F(DataWindow, ALengthThatIsNotAPositiveNumberStopsTheCheck) {
    for (int r = 1; r <= 3; ++r) {
        TypeComplete(r, r);
    }
    model.TypeInBox(2, Field::lungh, "0");
    EXPECT_EQ(state.project.enteredSectionCount, 2);
    EXPECT_FALSE(model.CheckData(DataWindowModel::CheckFor::Documents).ok);
    EXPECT_EQ(dialogs.LastText(),
              "Tronco n. 2:\n- la lunghezza deve essere un numero maggiore di zero.");
    EXPECT_EQ(model.ScrollValue(), 2);
    EXPECT_EQ(model.TakeFocusRequest(), (DataWindowModel::FocusRequest{1, Field::lungh}));
    // The same for the last section, with nothing after it.
    model.Scroll(1);
    model.TypeInBox(2, Field::lungh, "50");
    state.project.sections.Set(3, Field::lungh, FieldValue::Text("abc"));
    model.CheckData();
    EXPECT_EQ(dialogs.LastText(),
              "Tronco n. 3:\n- la lunghezza deve essere un numero maggiore di zero.");
}

TEST_F(DataWindow, NumericBoxesTakeOnlyWhatCanBeANumber) {
    TypeComplete(1);
    model.TypeInBox(1, Field::lungh, "4");
    model.TypeInBox(1, Field::lungh, "4x");
    EXPECT_EQ(dialogs.LastText(),
              "Tronco n. 1: nella casella «lunghezza» si può digitare solo un numero.");
    model.TypeInBox(1, Field::lungh, "410,5");
    EXPECT_EQ(dialogs.LastText(),
              "Tronco n. 1: nella casella «lunghezza» si può digitare solo un numero.\n"
              "Per i decimali usare il punto: la virgola non è ammessa.");
    EXPECT_EQ(model.BoxText(1, Field::lungh), "4");
    EXPECT_EQ(Stored(1, Field::lungh), FieldValue::Text("4"));
    dialogs.shown.clear();
    for (const char* typed : {"-", "-1.", "-1.5e", "-1.5e+3", " 1 500"}) {
        model.TypeInBox(1, Field::quotain, typed);
    }
    model.TypeInBox(1, Field::portun, "2,5");  // a flow takes the comma
    EXPECT_EQ(Stored(1, Field::portun), FieldValue::Text("2,5"));
    EXPECT_TRUE(dialogs.shown.empty());
    // The fire marker can be taken out character by character.
    state.project.sections.Set(1, Field::dotazun, FieldValue::Text("antincend."));
    model.RefreshGrid();
    model.TypeInBox(1, Field::dotazun, "antincend");
    model.TypeInBox(1, Field::dotazun, "");
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(Stored(1, Field::dotazun), FieldValue::Text(""));
}

}  // namespace
}  // namespace acquenza
