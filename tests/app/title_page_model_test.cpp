#include "app/title_page_model.h"

#include <gtest/gtest.h>

#include "app/fakes.h"
#include "app/italian_date.h"

namespace acquenza {
namespace {

using testing::FakeDialogs;
using testing::FakeWindows;

const char* const TooLong = "Per una stampa corretta non digitare dati lunghi più di 60 spazi.";

class TitlePage : public ::testing::Test {
  protected:
    void SetUp() override {
        InitProgramValues(state.identity.values);
        InitSharedTitles(state.identity.titles, state.identity.values);
    }
    TitlePageModel& page() { return windows.LoadTitlePage(); }
    int Warnings() const {
        return static_cast<int>(std::count_if(dialogs.shown.begin(), dialogs.shown.end(),
                                              [](const Message& m) { return m.text == TooLong; }));
    }

    ProgramState state;
    FakeDialogs dialogs;
    FakeWindows windows{state, dialogs};
};

TEST(ItalianDate, WeekdayCommaDayMonthYear) {
    EXPECT_EQ(ItalianLongDate(2011, 12, 5), "lunedì, 5 dic 2011");
    EXPECT_EQ(ItalianLongDate(2026, 12, 8), "martedì, 8 dic 2026");
    EXPECT_EQ(ItalianLongDate(2024, 2, 29), "giovedì, 29 feb 2024");
    EXPECT_EQ(ItalianLongDate(2023, 2, 29), "");
}

TEST_F(TitlePage, LoadsWithTodayTheOfficeAndTheFirstPrintMode) {
    state.settings.officeName = "Studio Tecnico Rossi";
    state.settings.officeAddress = "Via Verdi 3, 06100 Perugia";
    EXPECT_EQ(page().Text(TitleField::data), "martedì, 8 dic 2026");
    EXPECT_EQ(page().OfficeNameText(), "Studio Tecnico Rossi");
    EXPECT_EQ(page().OfficeAddressText(), "Via Verdi 3, 06100 Perugia");
    EXPECT_EQ(page().OfficeNameHint(), "");
    EXPECT_EQ(page().OfficeAddressHint(), "");
    EXPECT_EQ(page().PrintMode(), 1);
    EXPECT_EQ(page().Guidance(),
              "Digitare i dati fino ad un massimo di 60 caratteri per campo o prelevare un file "
              "dall'archivio.");
}

TEST_F(TitlePage, EveryChangeOverSixtyCharactersWarns) {
    const std::string sixty(59, 'a');
    page().TypeInField(TitleField::progetto, sixty + "à");  // 60 characters, 61 bytes
    EXPECT_EQ(Warnings(), 0);
    page().TypeInField(TitleField::progetto, sixty + "àb");
    EXPECT_EQ(Warnings(), 1);
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Exclamation);
    page().TypeInField(TitleField::progetto, sixty + "àbc");
    EXPECT_EQ(Warnings(), 2);
    EXPECT_EQ(page().Text(TitleField::progetto), sixty + "àbc");  // kept, not cut
    page().TypeInField(TitleField::progetto, sixty + "à");
    EXPECT_EQ(Warnings(), 2);
}

TEST_F(TitlePage, FieldCheckHasThreeOutcomes) {
    page().CheckFields();
    EXPECT_EQ(dialogs.shown.back().text, "Non è stato immesso alcun dato.");
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Question);
    for (TitleField f : {TitleField::progetto, TitleField::localita, TitleField::tipostudio,
                         TitleField::committente, TitleField::allegati}) {
        page().TypeInField(f, "x");
    }
    page().CheckFields();
    EXPECT_EQ(dialogs.shown.back().text, "Inserire dati per ogni campo.");
    page().TypeInField(TitleField::luogo, "Perugia");
    page().CheckFields();
    EXPECT_EQ(dialogs.shown.back().text, "I dati sono stati immessi correttamente.");
    page().ClearWindow();
    EXPECT_EQ(page().Text(TitleField::data), "");
    page().CheckFields();
    EXPECT_EQ(dialogs.shown.back().text, "Non è stato immesso alcun dato.");
}

TEST_F(TitlePage, OfficeFieldsAndRefusedTextStayAsTheyWere) {
    state.settings.officeName = "Studio Tecnico Rossi";
    state.settings.officeAddress = "Via Verdi 3, 06100 Perugia";
    const std::string office = page().OfficeNameText();
    page().ClickOfficeField();
    EXPECT_EQ(dialogs.shown.back().text,
              "Attenzione: dato non modificabile, rivolgersi a Software Verdano, produttrice del "
              "programma.");
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Stop);
    EXPECT_EQ(page().OfficeNameText(), office);

    page().TypeInField(TitleField::committente, "Comune");
    page().TypeInField(TitleField::committente, "Comune \"Alto\"");
    page().TypeInField(TitleField::committente, "Comune Ω");
    EXPECT_EQ(page().Text(TitleField::committente), "Comune");
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Stop);
}

TEST(TitlePageOffice, AnOfficeLeftUnsetIsEmptyAndTheWindowSaysWhereToSetIt) {
    const std::string user = "/utenti/anna/.config/Acquenza/acquenza.conf";
    const std::string machine = "/etc/xdg/Acquenza/acquenza.conf";
    const struct {
        std::string name;
        std::string address;
        std::string nameHint;
        std::string addressHint;
    } cases[] = {
        {"", "", "da impostare: [ufficio] nome=… e indirizzo=…", "nel file " + user},
        {"", "Via Verdi 3", "da impostare: [ufficio] nome=… nel file " + user, ""},
        {"Studio Rossi", "", "", "da impostare: [ufficio] indirizzo=… nel file " + user},
        {"Studio Rossi", "Via Verdi 3", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + " / " + c.address);
        ProgramState state;
        InitProgramValues(state.identity.values);
        InitSharedTitles(state.identity.titles, state.identity.values);
        state.settings.officeName = c.name;
        state.settings.officeAddress = c.address;
        state.settings.files = {{user, false}, {machine, true}};
        FakeDialogs dialogs;
        FakeWindows windows{state, dialogs};
        TitlePageModel& page = windows.LoadTitlePage();
        EXPECT_EQ(page.OfficeNameText(), c.name);  // never a made-up office
        EXPECT_EQ(page.OfficeAddressText(), c.address);
        EXPECT_EQ(page.OfficeNameHint(), c.nameHint);
        EXPECT_EQ(page.OfficeAddressHint(), c.addressHint);
        page.ClickOfficeField();
        const std::string where =
            "\n\nIl nome e l'indirizzo dello studio si impostano nelle chiavi nome e indirizzo "
            "della sezione [ufficio] del file " +
            user + " (per il solo utente) o " + machine +
            " (per tutti gli utenti del computer); valgono dal successivo avvio del programma.";
        EXPECT_EQ(dialogs.LastText(),
                  "Attenzione: dato non modificabile, rivolgersi a Software Verdano, produttrice "
                  "del programma." +
                      (c.nameHint.empty() && c.addressHint.empty() ? "" : where));
    }
}

TEST_F(TitlePage, HelpColourAndGuide) {
    page().ShowHelpMessage();
    EXPECT_NE(dialogs.LastText().find("spazi;\n- effettuare"), std::string::npos);
    EXPECT_NE(dialogs.LastText().find("modificabile;\n\n- aprire"), std::string::npos);
    dialogs.nextColour = Rgb{1, 2, 3};
    page().ChooseBackground();
    EXPECT_EQ(page().Background(), (Rgb{1, 2, 3}));
    page().ChooseBackground();  // cancelled
    EXPECT_EQ(page().Background(), (Rgb{1, 2, 3}));
    dialogs.answers = {Answer::No};
    page().AskForGuide();
    EXPECT_EQ(dialogs.shown.back().text,
              "E' questa la finestra 'Frontespizio': si vuole la guida della finestra?");
    EXPECT_TRUE(windows.log.empty());
}

}  // namespace
}  // namespace acquenza
