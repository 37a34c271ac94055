#include "core/pipes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <tuple>

namespace acquenza {
namespace {

const std::filesystem::path Shipped =
    std::filesystem::path(ACQUENZA_RESOURCES_DIR) / CatalogueFolderName;

PipeSeries ShippedSeries(const char* file) {
    const CatalogueParse parsed = ReadCatalogueFile(Shipped / file);
    EXPECT_TRUE(parsed.errors.empty()) << (parsed.errors.empty() ? "" : parsed.errors[0]);
    return parsed.series.value_or(PipeSeries{});
}

const char* const ShippedFiles[] = {"pe100-sdr11-pn16.txt", "pe100-sdr17-pn10.txt",
                                    "ghisa-sferoidale-en545.txt"};

TEST(PipeCatalogue, ShippedFiguresHoldTogether) {
    const PipeSeries sdr11 = ShippedSeries("pe100-sdr11-pn16.txt");
    const PipeSeries sdr17 = ShippedSeries("pe100-sdr17-pn10.txt");
    const PipeSeries iron = ShippedSeries("ghisa-sferoidale-en545.txt");
    EXPECT_EQ(sdr11.name, "PE100 SDR11 PN16");
    EXPECT_EQ(sdr11.pn, 16);
    EXPECT_EQ(sdr17.pn, 10);
    EXPECT_EQ(sdr11.roughnessMm, 0.01);
    EXPECT_EQ(iron.roughnessMm, 0.1);
    EXPECT_EQ(sdr11.sizes.size(), 24u);
    EXPECT_EQ(sdr17.sizes.size(), 22u);
    EXPECT_EQ(iron.sizes.size(), 11u);  // DN 80 to 600 without DN 125
    EXPECT_FALSE(sdr11.notes.empty());  // the sources

    // PE: internal = outside − 2 × minimum wall exactly; the wall is the
    // outside diameter over the exact SDR of the ISO 4065 series (S 5 and
    // S 8 of the R 10 numbers), to the tenth of a millimetre above, with the
    // standard's 2.0 mm floor.
    for (const auto& [series, exactSdr] :
         {std::pair{&sdr11, 2 * std::pow(10, 0.7) + 1}, {&sdr17, 2 * std::pow(10, 0.9) + 1}}) {
        for (const PipeSize& s : series->sizes) {
            SCOPED_TRACE(series->name + " " + s.label);
            ASSERT_TRUE(s.outsideMm && s.wallMm);
            EXPECT_NEAR(s.internalMm, *s.outsideMm - 2 * *s.wallMm, 1e-9);
            const double wall = *s.outsideMm / exactSdr;
            EXPECT_GE(*s.wallMm, std::min(wall - 0.01, 2.0));
            EXPECT_LE(*s.wallMm, std::max(std::ceil(wall * 10) / 10, 2.0) + 1e-9);
            EXPECT_EQ(s.pn, series->pn);
        }
    }
    // Ductile iron: internal = outside − 2 × wall − 2 × lining; C40 up to DN 300.
    for (const PipeSize& s : iron.sizes) {
        SCOPED_TRACE(s.label);
        EXPECT_NEAR(s.internalMm, *s.outsideMm - 2 * *s.wallMm - 2 * *s.liningMm, 1e-9);
        const bool small = std::stoi(s.label) <= 300;
        EXPECT_EQ(s.className, small ? "C40" : "C30");
        EXPECT_EQ(s.pn, small ? 40 : 30);
        EXPECT_EQ(*s.liningMm, small ? 4 : 5);
    }
}

// At every boundary between two sizes of every shipped series, and at random
// diameters, the choice is the smallest internal diameter not below the
// theoretical one.
TEST(PipeChoice, SmallestInternalDiameterNotBelowTheTheoretical) {
    std::mt19937 rng(7);
    for (const char* file : ShippedFiles) {
        const PipeSeries series = ShippedSeries(file);
        const auto& sizes = series.sizes;
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            const double d = sizes[i].internalMm;
            EXPECT_EQ(ChoosePipe(series, d), i) << file << " " << d;
            EXPECT_EQ(ChoosePipe(series, d - 0.05), i);
            const std::optional<std::size_t> next =
                i + 1 < sizes.size() ? std::optional(i + 1) : std::nullopt;
            EXPECT_EQ(ChoosePipe(series, d + 0.05), next);
            EXPECT_EQ(ChoosePipe(series, std::nextafter(d, 1e9) + 1e-5), next);
        }
        for (int n = 0; n < 2000; ++n) {
            const double t = std::uniform_real_distribution<>(0, sizes.back().internalMm + 40)(rng);
            const auto chosen = ChoosePipe(series, t);
            if (!chosen) {
                EXPECT_LT(sizes.back().internalMm, t);
                continue;
            }
            EXPECT_GE(sizes[*chosen].internalMm, t);
            if (*chosen > 0) {
                EXPECT_LT(sizes[*chosen - 1].internalMm, t);
            }
        }
        EXPECT_EQ(ChoosePipe(series, 0), 0u);
        EXPECT_FALSE(ChoosePipe(series, NAN));
    }
}

TEST(PipeChoice, TextsOfThePipeAndOfNone) {
    const PipeSeries pe = ShippedSeries("pe100-sdr11-pn16.txt");
    const PipeSeries iron = ShippedSeries("ghisa-sferoidale-en545.txt");
    EXPECT_EQ(PipeText(pe, pe.sizes[*ChoosePipe(pe, 160)]), "PE100 SDR11 PN16 Ø 200 — DI 163,6 mm");
    EXPECT_EQ(PipeText(pe, pe.sizes[*ChoosePipe(pe, 90)]), "PE100 SDR11 PN16 Ø 110 — DI 90,0 mm");
    EXPECT_EQ(PipeText(iron, iron.sizes[*ChoosePipe(iron, 200)]),
              "Ghisa sferoidale EN 545 DN 200 C40 — DI 204,6 mm");
    EXPECT_EQ(NoPipeText(pe, 600),
              "nessuna misura della serie «PE100 SDR11 PN16» ha un diametro interno di almeno "
              "600,0 mm (la più grande: 515,6 mm)");
}

TEST(PipeChoice, PressureClassSaysWhatWouldHold) {
    const PipeSeries sdr11 = ShippedSeries("pe100-sdr11-pn16.txt");
    const PipeSeries sdr17 = ShippedSeries("pe100-sdr17-pn10.txt");
    const std::vector<PipeSeries> loaded = {sdr11, sdr17};
    const PipeSize& pe10 = sdr17.sizes[*ChoosePipe(sdr17, 120)];  // Ø 140
    // PN 10 holds 102 m exactly, not a centimetre more.
    EXPECT_FALSE(PressureClassCheck(3, sdr17, pe10, 40, 102, loaded));
    EXPECT_EQ(PressureClassCheck(3, sdr17, pe10, 40, 102.01, loaded).value_or(""),
              "tronco 3: la pressione statica di 102,01 m alla fine supera i 102,00 m ammessi "
              "dalla classe PN 10 di «PE100 SDR17 PN10 Ø 140 — DI 123,4 mm»; reggerebbe la "
              "serie «PE100 SDR11 PN16» (PN 16)");
    EXPECT_EQ(PressureClassCheck(4, sdr11, sdr11.sizes[0], 170, 120, loaded).value_or(""),
              "tronco 4: la pressione statica di 170,00 m all'inizio supera i 163,20 m ammessi "
              "dalla classe PN 16 di «PE100 SDR11 PN16 Ø 20 — DI 16,0 mm»; servirebbe almeno la "
              "classe PN 20");
    EXPECT_NE(PressureClassCheck(4, sdr11, sdr11.sizes[0], 0, 2000, loaded)
                  .value_or("")
                  .find("servirebbe una classe oltre PN 100"),
              std::string::npos);
}

TEST(PipeBill, TotalsAreTheLengthsPerSize) {
    PipeSeries priced = ShippedSeries("pe100-sdr11-pn16.txt");
    for (std::size_t i = 0; i < priced.sizes.size(); ++i) {
        priced.sizes[i].pricePerMetre = 5 + 2.5 * static_cast<double>(i);
    }
    priced.name = "PE100 SDR11 PN16 listino";
    const PipeSeries iron = ShippedSeries("ghisa-sferoidale-en545.txt");
    std::mt19937 rng(11);
    std::vector<LaidPipe> pipes;
    std::map<std::pair<const PipeSeries*, std::size_t>, double> metres;
    double all = 0;
    for (int s = 1; s <= 300; ++s) {
        const PipeSeries* series = s % 3 == 0 ? &iron : &priced;
        const std::size_t size =
            std::uniform_int_distribution<std::size_t>(0, series->sizes.size() - 1)(rng);
        const double length = std::uniform_real_distribution<>(1, 900)(rng);
        pipes.push_back({s, series, size, length});
        metres[{series, size}] += length;
        all += length;
    }
    const Bill bill = MakeBill(pipes);
    ASSERT_EQ(bill.rows.size(), metres.size());
    double priced_amount = 0;
    for (const BillRow& row : bill.rows) {
        const PipeSeries* series = row.series == iron.name ? &iron : &priced;
        std::size_t size = 0;
        while (series->sizes[size].internalMm != row.internalMm) {
            ++size;
        }
        const double laid = metres[std::pair(series, size)];
        EXPECT_NEAR(row.metres, laid, 1e-9);
        if (series == &priced) {
            ASSERT_TRUE(row.amount);
            EXPECT_NEAR(*row.amount, row.metres * *series->sizes[size].pricePerMetre, 1e-9);
            priced_amount += *row.amount;
        } else {
            EXPECT_FALSE(row.amount);
        }
        EXPECT_FALSE(row.sections.empty());
        EXPECT_TRUE(std::is_sorted(row.sections.begin(), row.sections.end()));
    }
    EXPECT_NEAR(bill.total.metres, all, 1e-9);
    EXPECT_NEAR(bill.total.amount, priced_amount, 1e-6);
    EXPECT_FALSE(bill.total.allPriced);
    ASSERT_EQ(bill.materialTotals.size(), 2u);
    EXPECT_EQ(bill.materialTotals[0].material, "Ghisa sferoidale");
    EXPECT_FALSE(bill.materialTotals[0].allPriced);
    EXPECT_TRUE(bill.materialTotals[1].allPriced);
    EXPECT_NEAR(bill.materialTotals[1].amount, priced_amount, 1e-6);
    EXPECT_NEAR(bill.materialTotals[0].metres + bill.materialTotals[1].metres, all, 1e-9);
    // Rows run by material, series and internal diameter.
    for (std::size_t k = 1; k < bill.rows.size(); ++k) {
        const BillRow& a = bill.rows[k - 1];
        const BillRow& b = bill.rows[k];
        EXPECT_TRUE(std::tie(a.material, a.series, a.internalMm) <
                    std::tie(b.material, b.series, b.internalMm));
    }
}

// ---- the format -----------------------------------------------------------

const char* const GoodHead =
    "# Prova\n"
    "serie: Prova PN10\n"
    "materiale: PVC\n"
    "pn (bar): 10\n"
    "scabrezza (mm): 0,02\n";

TEST(PipeCatalogue, ReadsTheFormatWithItsFreedoms) {
    const std::string text = std::string("\xEF\xBB\xBF") + GoodHead +
                             "MISURA ; Diametro interno (mm);Prezzo (€/m);PN\r\n"
                             "\r\n"
                             "110;99.4;12,50;16\r\n"
                             "90;81,4;;\r\n"
                             "# una riga di commento tra le misure\n"
                             "125;113\n";
    const CatalogueParse parsed = ParseCatalogue(text, "prova.txt");
    ASSERT_TRUE(parsed.errors.empty()) << parsed.errors[0];
    const PipeSeries& s = *parsed.series;
    EXPECT_EQ(s.sizePrefix, "DN");
    EXPECT_EQ(s.roughnessMm, 0.02);
    ASSERT_EQ(s.sizes.size(), 3u);
    EXPECT_EQ(s.sizes[0].label, "90");  // by internal diameter
    EXPECT_EQ(s.sizes[0].internalMm, 81.4);
    EXPECT_FALSE(s.sizes[0].pricePerMetre);
    EXPECT_EQ(s.sizes[0].pn, 10);
    EXPECT_EQ(s.sizes[1].pricePerMetre, 12.5);
    EXPECT_EQ(s.sizes[1].pn, 16);
    EXPECT_FALSE(s.AllPriced());
    EXPECT_EQ(s.notes, std::vector<std::string>{"Prova"});
}

TEST(PipeCatalogue, EveryBadLineIsReportedWithFileAndLine) {
    struct Case {
        std::string text;
        std::string error;
    };
    const std::string head = GoodHead;  // five lines
    const std::string columns = "Misura;Diametro interno (mm);Diametro esterno (mm)\n";
    const Case cases[] = {
        {head + "colore: blu\n" + columns + "90;80;90\n",
         "file prova.txt, riga 6: chiave «colore» sconosciuta (ammesse: serie, materiale, norma, "
         "pn, scabrezza, misura)"},
        {head + "serie: Altra\n" + columns + "90;80;90\n",
         "file prova.txt, riga 6: la chiave «serie» è già data alla riga 2"},
        {"serie: X\nmateriale: PVC\npn: dieci\nscabrezza: 0,01\n" + columns + "90;80;90\n",
         "file prova.txt, riga 3: la PN «dieci» non è un numero positivo di bar"},
        {"serie: X\nmateriale: PVC\npn: 10\nscabrezza (m): 0,00001\n" + columns + "90;80;90\n",
         "file prova.txt, riga 4: «scabrezza» va in mm, non in «m»"},
        {"serie: X\nmateriale: PVC\npn: 10\nscabrezza: 12\n" + columns + "90;80;90\n",
         "file prova.txt, riga 4: la scabrezza «12» non è un numero di millimetri da 0 a 10"},
        {head + "serie PVC\n" + columns + "90;80;90\n",
         "file prova.txt, riga 6: riga non riconosciuta: prima dell'intestazione delle colonne "
         "sono ammesse solo righe «chiave: valore» e commenti «#»"},
        {head + "Misura;Diametro interno (mm);Prezo (€/m)\n90;80;3\n",
         "file prova.txt, riga 6: colonna «Prezo (€/m)» sconosciuta (ammesse: Misura, Diametro "
         "interno (mm), Diametro esterno (mm), Spessore (mm), Rivestimento (mm), Classe, PN "
         "(bar), Prezzo (€/m))"},
        {head + "Misura;Diametro interno (cm)\n9;8\n",
         "file prova.txt, riga 6: «Diametro interno (cm)» va in mm, non in «cm»"},
        {head + "Misura;Diametro esterno (mm)\n90;80\n",
         "file prova.txt, riga 6: manca la colonna «Diametro interno (mm)»"},
        {head + columns + "90;80;90;4\n",
         "file prova.txt, riga 7: 4 colonne, ma l'intestazione (riga 6) ne ha 3"},
        {head + columns + "90;80 mm;90\n",
         "file prova.txt, riga 7: il diametro interno «80 mm» non è un numero positivo"},
        {head + columns + "90;;90\n", "file prova.txt, riga 7: manca il diametro interno"},
        {head + columns + ";80;90\n", "file prova.txt, riga 7: manca la misura"},
        {head + columns + "90;80;-90\n",
         "file prova.txt, riga 7: il diametro esterno «-90» non è un numero positivo"},
        {head + columns + "90;90;80\n",
         "file prova.txt, riga 7: il diametro esterno 80,0 mm non supera quello interno 90,0 mm"},
        {head + columns + "90;80;90\n110;99;110\n90;81;90\n",
         "file prova.txt, riga 9: la misura «90» è già elencata alla riga 7"},
        {head + "Misura;Diametro interno;Prezzo\n90;80;12€\n",
         "file prova.txt, riga 7: il prezzo «12€» non è un numero di euro al metro (es. 41,50)"},
        {head + columns + "90;8\xC3\x28;90\n", "file prova.txt, riga 7: il testo non è in UTF-8"},
        {"materiale: PVC\npn: 10\nscabrezza: 0,01\n" + columns + "90;80;90\n",
         "file prova.txt: manca la riga «serie: …»"},
        {head,
         "file prova.txt: manca la riga di intestazione delle colonne (es. «Misura;Diametro "
         "interno (mm)»)"},
        {head + columns, "file prova.txt: nessuna misura elencata dopo l'intestazione"},
    };
    for (const Case& c : cases) {
        const CatalogueParse parsed = ParseCatalogue(c.text, "prova.txt");
        EXPECT_FALSE(parsed.series) << c.error;
        ASSERT_FALSE(parsed.errors.empty()) << c.error;
        EXPECT_EQ(parsed.errors[0], c.error);
    }
    // Several bad lines: each one said, none skipped in silence.
    const CatalogueParse many =
        ParseCatalogue(head + columns + "90;x;90\n110;99;110\n125;y;125\n", "prova.txt");
    ASSERT_EQ(many.errors.size(), 2u);
    EXPECT_NE(many.errors[1].find("riga 9"), std::string::npos);
}

TEST(PipeCatalogue, FoldersLaterOnesReplaceSeriesOfTheSameName) {
    const auto base =
        std::filesystem::temp_directory_path() /
        ("acquenza-cataloghi-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::remove_all(base);
    std::filesystem::create_directories(base / "utente");
    auto write = [&](const std::filesystem::path& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    };
    std::ifstream shipped(Shipped / "pe100-sdr11-pn16.txt", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(shipped)), {});
    text.replace(text.find("Diametro interno (mm)\n"), 22, "Diametro interno (mm);Prezzo (€/m)\n");
    for (std::size_t at = text.find("\n20;"); at != std::string::npos;
         at = text.find('\n', at + 1)) {
        const auto end = text.find('\n', at + 1);
        if (end == std::string::npos) {
            break;
        }
        text.insert(end, ";10,00");
        at = end;
    }
    write(base / "utente" / "pe-con-prezzi.TXT", text);
    write(base / "utente" / "rotto.txt", std::string(GoodHead) + "Misura;Diametro interno\n90;\n");
    write(base / "utente" / "appunti.md", "non è un catalogo");

    const CatalogueSet set = LoadCatalogues({Shipped, base / "assente", base / "utente"});
    ASSERT_EQ(set.series.size(), 3u);
    const auto pe = std::find_if(set.series.begin(), set.series.end(),
                                 [](const PipeSeries& s) { return s.name == "PE100 SDR11 PN16"; });
    ASSERT_NE(pe, set.series.end());
    EXPECT_TRUE(pe->AllPriced());
    ASSERT_EQ(set.notices.size(), 1u);
    EXPECT_NE(set.notices[0].find("è sostituita da quella del file"), std::string::npos);
    ASSERT_EQ(set.errors.size(), 1u) << set.errors.back();
    EXPECT_NE(set.errors[0].find("rotto.txt, riga 7: manca il diametro interno"),
              std::string::npos);
    std::filesystem::remove_all(base);

    const CatalogueParse missing = ReadCatalogueFile(base / "nessuno.txt");
    ASSERT_EQ(missing.errors.size(), 1u);
    EXPECT_NE(missing.errors[0].find("nessuno.txt: impossibile leggerlo"), std::string::npos);
}

}  // namespace
}  // namespace acquenza
