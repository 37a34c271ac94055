#pragma once
// Catalogues of commercial pipes: one plain UTF-8 text file per series.
//
// The format, for the engineer who writes one:
//
//   # Lines starting with "#" are comments: the series' sources go here.
//   serie: PE100 SDR11 PN16          (the name shown with every pipe)
//   materiale: PE100                 (series of one material are one family)
//   norma: UNI EN 12201-2            (optional)
//   pn (bar): 16                     (pressure class of the series)
//   scabrezza (mm): 0,01             (absolute roughness for Colebrook-White)
//   misura: Ø                        (optional: how sizes are named, "DN" by default)
//
//   Misura;Diametro esterno (mm);Spessore (mm);Diametro interno (mm);Prezzo (€/m)
//   200;200;18,2;163,6;41,50
//
// Keys and column headings are matched without regard to case, on the words
// before any "(": a unit in brackets is for the reader, but when given it must
// be the one expected. After the heading line (the first line with a ";"),
// every line is one size. Columns: "Misura" and "Diametro interno (mm)" are
// required; "Diametro esterno (mm)", "Spessore (mm)", "Rivestimento (mm)",
// "Classe" (e.g. C40), "PN (bar)" (the size's own class, when it differs from
// the series') and "Prezzo (€/m)" are optional, an empty cell meaning "not
// given". Numbers take a decimal comma or point. Blank lines are ignored.
//
// Anything else is an error with its file and line: a file with errors gives
// no series at all, so that a size is never quietly missing from a choice.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace acquenza {

struct PipeSize {
    std::string label;      // the size as the catalogue names it: "200"
    double internalMm = 0;  // internal diameter, mm
    std::optional<double> outsideMm;
    std::optional<double> wallMm;
    std::optional<double> liningMm;
    std::string className;                // "C40", or empty
    double pn = 0;                        // pressure class of this size, bar
    std::optional<double> pricePerMetre;  // €/m
    bool operator==(const PipeSize&) const = default;
};

struct PipeSeries {
    std::string name;        // "PE100 SDR11 PN16"
    std::string material;    // "PE100"
    std::string standard;    // "UNI EN 12201-2", or empty
    double pn = 0;           // bar
    double roughnessMm = 0;  // mm
    std::string sizePrefix = "DN";
    std::vector<PipeSize> sizes;     // by internal diameter, smallest first
    std::vector<std::string> notes;  // the file's comment lines, "#" removed
    std::string fileName;
    bool operator==(const PipeSeries&) const = default;

    // Every size has a price: only then are amounts in money.
    bool AllPriced() const;
};

struct CatalogueParse {
    std::optional<PipeSeries> series;
    std::vector<std::string> errors;  // "file F, riga N: …", in Italian
};

// One catalogue from its text; fileName names it in the messages.
CatalogueParse ParseCatalogue(std::string_view text, std::string_view fileName);

// One catalogue file (at most 1 MB); a file that cannot be read is an error
// naming it.
CatalogueParse ReadCatalogueFile(const std::filesystem::path& path);

// The name of the folder of catalogues beside the program, in the system-wide
// configuration and in the user's ("~/.config/Acquenza/tubazioni").
inline constexpr std::string_view CatalogueFolderName = "tubazioni";

struct CatalogueSet {
    std::vector<PipeSeries> series;    // by name
    std::vector<std::string> errors;   // files that could not be used, and why
    std::vector<std::string> notices;  // series a later folder replaced
};

// Every "*.txt" file of the folders, in order (the program's own, the system's,
// the user's): a series with the name of one already read replaces it, so a
// user may copy a shipped file to add prices. A folder that does not exist
// holds no catalogues; one that cannot be listed is an error.
CatalogueSet LoadCatalogues(const std::vector<std::filesystem::path>& folders);

}  // namespace acquenza
