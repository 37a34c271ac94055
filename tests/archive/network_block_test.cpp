#include "archive/network_block.h"

#include <gtest/gtest.h>

namespace acquenza {
namespace {

NetworkBlock Sample() {
    NetworkBlock block;
    block.values = {{"carico alla sorgente", "355,5"}, {"pressione minima", "20"}};
    block.columns = {"tronco a monte", "erogazione al nodo"};
    block.rows = {{1, {"0", "0,5"}}, {2, {"1", ""}}, {7, {"2", "1,25"}}};
    return block;
}

TEST(NetworkBlock, WrittenAndReadBackAsItWas) {
    const std::string text = EncodeNetworkBlock(Sample());
    EXPECT_EQ(text,
              "\"Acquenza: dati della rete\",1\r\n"
              "\"carico alla sorgente\",\"355,5\"\r\n"
              "\"pressione minima\",\"20\"\r\n"
              "\"tronchi della rete\",\"tronco\",\"tronco a monte\",\"erogazione al nodo\"\r\n"
              "\"1\",\"0\",\"0,5\"\r\n"
              "\"2\",\"1\",\"\"\r\n"
              "\"7\",\"2\",\"1,25\"\r\n"
              "\"fine dei dati della rete\"\r\n");
    const NetworkBlockRead read = DecodeNetworkBlock(text, 5);
    ASSERT_TRUE(read.found);
    ASSERT_TRUE(read.ok) << read.message;
    EXPECT_EQ(read.block, Sample());
    EXPECT_EQ(read.block.Value("pressione minima"), "20");
    EXPECT_EQ(read.block.Value("assente"), "");
    EXPECT_EQ(read.block.Column("erogazione al nodo"), 1);
}

TEST(NetworkBlock, AHandEditedBlockIsReadWhereItCanBe) {
    // Blank lines, bare numbers, a row with its last values left out.
    const NetworkBlockRead read = DecodeNetworkBlock(
        "\r\n\"Acquenza: dati della rete\", 1\r\n\r\n\"pressione minima\",25\r\n"
        "\"tronchi della rete\",\"tronco\",\"tronco a monte\",\"erogazione al nodo\"\n"
        "3,0\n\"fine dei dati della rete\"\nqualsiasi cosa\n",
        4);
    ASSERT_TRUE(read.ok) << read.message;
    EXPECT_EQ(read.block.Value("pressione minima"), "25");
    ASSERT_EQ(read.block.rows.size(), 1u);
    EXPECT_EQ(read.block.rows[0], (NetworkBlock::Row{3, {"0", ""}}));
}

TEST(NetworkBlock, WhatFollowsTheTitleLineWithoutTheMarkIsNotABlock) {
    EXPECT_FALSE(DecodeNetworkBlock("", 3).found);
    EXPECT_FALSE(DecodeNetworkBlock("\r\n\r\n", 3).found);
    EXPECT_FALSE(DecodeNetworkBlock("\"appunti\",\"rete nord\"\r\n", 3).found);
}

TEST(NetworkBlock, WhatCannotBeReadIsNamedWithItsLine) {
    const std::string head = "\"Acquenza: dati della rete\",1\r\n";
    const std::string table = "\"tronchi della rete\",\"tronco\",\"tronco a monte\"\r\n";
    const std::string end = "\"fine dei dati della rete\"\r\n";
    const struct {
        std::string text;
        int line;
        const char* says;
    } cases[] = {
        {"\"Acquenza: dati della rete\"\r\n" + end, 10, "manca il numero della versione"},
        {"\"Acquenza: dati della rete\",2\r\n" + end, 10,
         "la versione 2 è più recente di quella che questo programma conosce (1)"},
        {head + "\"pressione minima\"\r\n" + end, 11, "ci sono 1 dati invece di due"},
        {head + "\"tronchi della rete\",\"numero\"\r\n" + end, 11, "l'intestazione della tabella"},
        {head + table + "\"0\",\"1\"\r\n" + end, 12, "«0» non è il numero di un tronco"},
        {head + table + "\"501\",\"1\"\r\n" + end, 12, "«501» non è il numero di un tronco"},
        {head + table + "\"2\",\"1\"\r\n\"2\",\"0\"\r\n" + end, 13,
         "il tronco n. 2 compare per la seconda volta"},
        {head + table + "\"2\",\"1\",\"5\"\r\n" + end, 12, "più dati delle colonne"},
        {head + table + "\"2\",\"1\"\r\n", 12, "manca la riga finale"},
        {head + "\"nota\",\"" + std::string(1001, 'x') + "\"\r\n" + end, 11, "1000 caratteri"},
    };
    for (const auto& c : cases) {
        const NetworkBlockRead read = DecodeNetworkBlock(c.text, 10);
        EXPECT_TRUE(read.found) << c.says;
        EXPECT_FALSE(read.ok) << c.says;
        EXPECT_EQ(read.line, c.line) << c.says;
        EXPECT_NE(read.message.find(c.says), std::string::npos) << read.message;
        EXPECT_EQ(read.message.rfind("alla riga", 0), 0u) << read.message;
    }
}

}  // namespace
}  // namespace acquenza
