// Reading and writing .inp files: tolerance, errors that name the line, the
// writer's refusals, and what a written file is made of.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>

#include "interchange/inp_reader.h"
#include "interchange/inp_writer.h"

namespace acquenza::interchange {
namespace {

const std::string Net2 = ACQUENZA_INTERCHANGE_DATA "/net2-branched.inp";

TEST(InpReader, ToleratesWhatEditorsWrite) {
    const std::string text =
        "\xEF\xBB\xBF; before any section: a comment\r\n"
        "stray text EPANET ignores\r\n"
        "[title]\r\n"
        "Rete di prova; con punto e virgola\r\n"
        "\r\n"
        "[Junc]\r\n"
        ";ID Elev Demand\r\n"
        "\t\"Nodo A\"   12.5   .5  ;al bivio\n"
        " b 10\n"
        "[DISEGNO]\n"
        "this is 1 not data ;\n"
        "[reservoirs]\n"
        "R 40 ; la sorgente\n"
        "[PIPES]\n"
        "p1 R \"Nodo A\" 100 80 0.1 CV\n"
        "p2 \"Nodo A\" b 50 60 0.1 0.5 closed\n"
        "[patterns]\n"
        "1 1.1 1.2\n"
        "1 1.3\n"
        "[options]\n"
        "units cmh\n"
        "headloss d-w\n"
        "Demand Multiplier 1.5\n"
        "PRESSURE EXPONENT 0.5\n"
        "[end]\n"
        "[JUNCTIONS]\n"
        "after end 1\n";
    const InpReadResult r = ReadInp(text);
    ASSERT_TRUE(r.ok) << r.error;
    const InpNetwork& n = r.network;
    EXPECT_EQ(n.comments, std::vector<std::string>{" before any section: a comment"});
    EXPECT_EQ(n.title, std::vector<std::string>{"Rete di prova; con punto e virgola"});
    ASSERT_EQ(n.junctions.size(), 2u);
    EXPECT_EQ(n.junctions[0].id, "Nodo A");
    EXPECT_EQ(n.junctions[0].baseDemand, 0.5);
    EXPECT_EQ(n.junctions[0].comment, "al bivio");
    EXPECT_EQ(n.junctions[1].baseDemand, 0);
    ASSERT_EQ(n.pipes.size(), 2u);
    EXPECT_EQ(n.pipes[0].status, PipeStatus::CheckValve);
    EXPECT_EQ(n.pipes[0].minorLoss, 0);
    EXPECT_EQ(n.pipes[1].status, PipeStatus::Closed);
    EXPECT_EQ(n.pipes[1].minorLoss, 0.5);
    EXPECT_EQ(n.patterns.at(0).multipliers, (std::vector<double>{1.1, 1.2, 1.3}));
    EXPECT_EQ(n.options.units, FlowUnits::CMH);
    EXPECT_EQ(n.options.headloss, HeadlossFormula::DarcyWeisbach);
    EXPECT_EQ(n.options.demandMultiplier, 1.5);
    EXPECT_EQ(n.options.otherLines, std::vector<std::string>{"PRESSURE EXPONENT 0.5"});
    ASSERT_EQ(n.unknownSections.size(), 1u);
    EXPECT_EQ(n.unknownSections[0].header, "[DISEGNO]");
    EXPECT_EQ(n.unknownSections[0].line, 10);
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_NE(r.warnings[0].find("Riga 10"), std::string::npos);
}

TEST(InpReader, ErrorsNameTheLine) {
    const std::string head = "[JUNCTIONS]\nJ1 10\nJ2 12\n[RESERVOIRS]\nR 50\n";
    const std::vector<std::tuple<std::string, int, std::string>> cases = {
        {"[JUNCTIONS]\nJ1 dieci\n", 2, "«dieci» non è un numero (la quota del nodo «J1»)"},
        {"[JUNCTIONS]\nJ1\n", 2, "manca la quota del nodo «J1»"},
        {head + "[PIPES]\nP1 R J1 100 80\n", 7, "la riga del tubo «P1» è incompleta"},
        {head + "[PIPES]\nP1 R J1 100 80 0.1 0 aperto\n", 7, "«aperto» non è uno stato"},
        {head + "[PIPES]\nP1 R J9 100 80 0.1\n", 7, "collega il nodo «J9», che non è definito"},
        {head + "[PIPES]\nP1 R J1 100 80 0.1\nP1 J1 J2 10 80 0.1\n", 8,
         "il collegamento «P1» è già definito alla riga 7"},
        {head + "[TANKS]\nJ2 10 1 0 5 8\n", 7, "il nodo «J2» è già definito alla riga 3"},
        {head + "[OPTIONS]\nUNITS LPH\n", 7, "«LPH» non è un'unità di portata"},
        {head + "[DEMANDS]\nR 5\n", 7, "«R», che non è un nodo di utenza"},
        {"[JUNCTIONS]\nJ1 10 1 giorno\n", 2, "la curva di modulazione «giorno» non è definita"},
        {head + "[STATUS]\nP7 CLOSED\n", 7, "il collegamento «P7», che non è definito"},
    };
    for (const auto& [text, line, message] : cases) {
        const InpReadResult r = ReadInp(text);
        ASSERT_FALSE(r.ok) << text;
        EXPECT_EQ(r.errorLine, line) << r.error;
        EXPECT_TRUE(r.error.starts_with("Riga " + std::to_string(line) + ": ")) << r.error;
        EXPECT_NE(r.error.find(message), std::string::npos) << r.error;
    }
}

TEST(InpReader, Windows1252IsTakenForWhatItIs) {
    const InpReadResult r = ReadInp("[TITLE]\nLocalit\xE0 Pian\xF2\n[JUNCTIONS]\nJ 1\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.network.title.at(0), "Località Pianò");
    EXPECT_NE(r.warnings.at(0).find("Windows-1252"), std::string::npos);
}

TEST(InpReader, FilesThatCannotBeReadAreNamed) {
    const auto missing = ReadInpFile("/nonexistent/rete.inp");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, "Il file rete.inp non si può aprire: non esiste.");
    const auto folder = ReadInpFile(std::filesystem::temp_directory_path());
    EXPECT_FALSE(folder.ok);
    EXPECT_NE(folder.error.find("è una cartella"), std::string::npos) << folder.error;
    const auto path = std::filesystem::temp_directory_path() / "acquenza-rotto.inp";
    std::ofstream(path) << "[JUNCTIONS]\nJ1 x\n";
    const auto broken = ReadInpFile(path);
    std::filesystem::remove(path);
    EXPECT_EQ(broken.error,
              "File acquenza-rotto.inp, riga 2: «x» non è un numero (la quota del nodo «J1»).");
}

// A real file read, written and read again keeps every object and value,
// and writing is then stable byte for byte.
TEST(InpWriter, PublicExampleSurvivesWritingAndReading) {
    const InpReadResult first = ReadInpFile(Net2);
    ASSERT_TRUE(first.ok) << first.error;
    const InpWriteResult written = WriteInp(first.network);
    ASSERT_TRUE(written.ok) << written.error;
    const InpReadResult second = ReadInp(written.text);
    ASSERT_TRUE(second.ok) << second.error;
    const InpNetwork& a = first.network;
    const InpNetwork& b = second.network;
    EXPECT_EQ(a.title, b.title);
    EXPECT_EQ(a.comments, b.comments);
    ASSERT_EQ(a.junctions.size(), 35u);
    ASSERT_EQ(b.junctions.size(), a.junctions.size());
    for (std::size_t i = 0; i < a.junctions.size(); ++i) {
        EXPECT_EQ(a.junctions[i].id, b.junctions[i].id);
        EXPECT_EQ(a.junctions[i].elevation, b.junctions[i].elevation);
        EXPECT_EQ(a.junctions[i].baseDemand, b.junctions[i].baseDemand);
    }
    ASSERT_EQ(b.pipes.size(), 35u);
    for (std::size_t i = 0; i < a.pipes.size(); ++i) {
        EXPECT_EQ(a.pipes[i].node2, b.pipes[i].node2);
        EXPECT_EQ(a.pipes[i].roughness, b.pipes[i].roughness);
    }
    EXPECT_EQ(b.tanks.at(0).initLevel, 56.7);
    EXPECT_EQ(b.patterns.at(0).multipliers, a.patterns.at(0).multipliers);
    EXPECT_EQ(b.options.otherLines, a.options.otherLines);
    EXPECT_EQ(b.coordinates.size(), 36u);
    ASSERT_EQ(b.otherSections.size(), a.otherSections.size());
    EXPECT_EQ(WriteInp(second.network).text, written.text);
}

TEST(InpWriter, FileShape) {
    InpNetwork n;
    n.title = {
        "Acquedotto di Sant'Agata de' Goti, località Capitolo: rete di distribuzione "
        "per le frazioni alte, verifica con EPANET"};
    n.reservoirs.push_back({"R", 80, {}, {}, 0});
    n.junctions.push_back({"J", 50, 1.5, {}, "riga\ncon a capo", 0});
    n.pipes.push_back({"P", "R", "J", 100, 80, 0.1, 0, PipeStatus::Open, {}, 0});
    n.options.units = FlowUnits::LPS;
    const InpWriteResult w = WriteInp(n);
    ASSERT_TRUE(w.ok) << w.error;
    const std::string& t = w.text;
    EXPECT_EQ(t.substr(0, 9), "[TITLE]\r\n");  // no byte-order mark
    EXPECT_TRUE(t.ends_with("[END]\r\n"));
    EXPECT_EQ(t.find('\n'), t.find("\r\n") + 1);
    // The title, longer than EPANET keeps in a line, is split at a blank.
    const std::string title = t.substr(9, t.find("\r\n\r\n") - 9);
    EXPECT_EQ(title,
              "Acquedotto di Sant'Agata de' Goti, località Capitolo: rete di distribuzione\r\n"
              "per le frazioni alte, verifica con EPANET");
    EXPECT_NE(t.find(" J               50          1.5                     ;riga con a capo\r\n"),
              std::string::npos)
        << t;
    EXPECT_NE(t.find(" UNITS           LPS\r\n"), std::string::npos);
    EXPECT_EQ(ReadInp(t).network.title.size(), 2u);
}

// Free text and tokens that could split, vanish or start a comment are
// written so that the file reads back to the same bytes.
TEST(InpWriter, HostileTextReadsBackAsWritten) {
    InpNetwork n;
    n.title = {"", "\x01", "Rete  nord", std::string(90, 'x') + " coda", "[END] non è la fine"};
    n.comments = {"a capo\nqui   "};
    n.reservoirs.push_back({"R", 80, {}, {}, 0});
    n.junctions.push_back({"J", 50, 1, {}, {}, 0});
    n.tanks.push_back({"T", 10, 1, 0, 3, 5, 0, "curva a", "YES", {}, 0});
    n.pumps.push_back({"PU", "R", "J", {"HEAD", "curva; b", ""}, {}, 0});
    n.valves.push_back({"V", "J", "T", 80, "PRV", "", 0.5, {}, 0});
    n.statuses.push_back({"PU", "CLOSED"});
    n.options.otherLines = {"TRIALS\t40"};
    n.otherSections.push_back({"TIMES", {"DURATION\t24:00"}});
    const InpWriteResult first = WriteInp(n);
    ASSERT_TRUE(first.ok) << first.error;
    const InpReadResult read = ReadInp(first.text);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(WriteInp(read.network).text, first.text);
    EXPECT_EQ(read.network.title,
              (std::vector<std::string>{"Rete nord", std::string(79, 'x'), "xxxxxxxxxxx coda",
                                        "(END] non è la fine"}));
    EXPECT_EQ(read.network.pumps.at(0).parameters,
              (std::vector<std::string>{"HEAD", "curva; b", ""}));
    EXPECT_EQ(read.network.valves.at(0).setting, "");
    EXPECT_EQ(read.network.valves.at(0).minorLoss, 0.5);
    EXPECT_EQ(read.network.tanks.at(0).volumeCurve, "curva a");
}

TEST(InpWriter, RefusesWhatEpanetCouldNotRead) {
    const auto base = [] {
        InpNetwork n;
        n.reservoirs.push_back({"R", 80, {}, {}, 0});
        n.junctions.push_back({"J", 50, 1, {}, {}, 0});
        n.pipes.push_back({"P", "R", "J", 100, 80, 0.1, 0, PipeStatus::Open, {}, 0});
        return n;
    };
    const std::vector<std::pair<std::function<void(InpNetwork&)>, std::string>> cases = {
        {[](InpNetwork& n) { n.junctions[0].id = "Nodo alto"; },
         "L'identificativo «Nodo alto» del nodo non è valido per EPANET: contiene spazi"},
        {[](InpNetwork& n) { n.pipes[0].id = std::string(40, 'T'); }, "più lungo di 31"},
        {[](InpNetwork& n) {
             n.junctions.push_back({"R", 1, 0, {}, {}, 0});
         },
         "Due nodi hanno lo stesso identificativo «R»."},
        {[](InpNetwork& n) { n.pipes[0].node2 = "K"; }, "raggiunge il nodo «K», che non è"},
        {[](InpNetwork& n) { n.junctions[0].pattern = "giorno"; },
         "La curva di modulazione «giorno» usata per il nodo «J» non è definita."},
        {[](InpNetwork& n) { n.pipes[0].length = std::nan(""); },
         "Un valore per il tubo «P» non è un numero finito."},
        {[](InpNetwork& n) {
             n.demands.push_back({"X", 1, {}, {}, 0});
         },
         "al nodo «X»"},
    };
    for (const auto& [spoil, message] : cases) {
        InpNetwork n = base();
        spoil(n);
        const InpWriteResult w = WriteInp(n);
        EXPECT_FALSE(w.ok) << message;
        EXPECT_TRUE(w.text.empty());
        EXPECT_NE(w.error.find(message), std::string::npos) << w.error;
    }
    EXPECT_TRUE(WriteInp(base()).ok);
}

}  // namespace
}  // namespace acquenza::interchange
