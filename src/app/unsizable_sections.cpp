#include "app/unsizable_sections.h"

#include "core/numbers.h"

namespace acquenza {

namespace {

// A save message names this many sections; the rest are counted.
constexpr std::size_t ListedSections = 12;

// The value as the box's heading names it: "della quota iniziale".
std::string ValueName(const SectionTable& table, Field field) {
    const std::string_view name = table.Fields().Spec(field).ofName;
    return std::string(name.empty() ? table.Fields().Spec(Field::lungh).ofName : name);
}

std::string Metres(const SectionTable& table, int section, Field field) {
    return NumberText(NumericValue(table, section, field)) + " m";
}

}  // namespace

std::vector<UnsizableSection> FindUnsizableSections(const SectionTable& table, int last) {
    std::vector<UnsizableSection> found;
    for (int s = 1; s <= last && s <= MaxSections; ++s) {
        if (const SizingObstacle obstacle = FindSizingObstacle(table, s)) {
            found.push_back({s, obstacle});
        }
    }
    return found;
}

std::string ObstacleReason(SizingObstacle::Kind kind) {
    switch (kind) {
        case SizingObstacle::Kind::NotFinite:
            return "un valore è troppo grande per il calcolo";
        case SizingObstacle::Kind::NoLength:
            return "la lunghezza non è maggiore di zero";
        case SizingObstacle::Kind::NoDrop:
            return "la quota iniziale non supera quella finale";
        case SizingObstacle::Kind::NoDiameter:
            return "nessun diametro fino a 10 metri contiene la perdita di carico nel dislivello";
        case SizingObstacle::Kind::None:
            break;
    }
    return "";
}

std::string ObstacleCheckText(const SectionTable& table, int section, SizingObstacle obstacle) {
    switch (obstacle.kind) {
        case SizingObstacle::Kind::NotFinite:
            return "- il valore " + ValueName(table, obstacle.field) +
                   " è troppo grande per il calcolo: correggerlo.";
        case SizingObstacle::Kind::NoLength:
            return "- la lunghezza deve essere un numero maggiore di zero.";
        case SizingObstacle::Kind::NoDrop:
            return "- il dislivello non consente il dimensionamento: la quota iniziale (" +
                   Metres(table, section, Field::quotain) + ") non supera la quota finale (" +
                   Metres(table, section, Field::quotafin) +
                   "). Correggere le quote: la quota iniziale deve essere maggiore di quella "
                   "finale.";
        case SizingObstacle::Kind::NoDiameter:
            return "- il dislivello non consente il dimensionamento: nessun diametro fino a 10 "
                   "metri contiene la perdita di carico entro il dislivello disponibile. Ridurre "
                   "la portata o la lunghezza del tronco, oppure aumentare il dislivello.";
        case SizingObstacle::Kind::None:
            break;
    }
    return "";
}

std::string UnsizableAfterSaveText(const std::vector<UnsizableSection>& sections) {
    if (sections.empty()) {
        return "";
    }
    std::string text = sections.size() == 1
                           ? "Il progetto è stato archiviato, ma un tronco non può essere "
                             "dimensionato:"
                           : "Il progetto è stato archiviato, ma " +
                                 std::to_string(sections.size()) +
                                 " tronchi non possono essere dimensionati:";
    for (std::size_t i = 0; i < sections.size() && i < ListedSections; ++i) {
        text += "\n- tronco n." + SignedText(sections[i].section) + ": " +
                ObstacleReason(sections[i].obstacle.kind) + ";";
    }
    if (sections.size() > ListedSections) {
        text += "\n- e altri " + std::to_string(sections.size() - ListedSections) + " tronchi;";
    }
    text += "\ncorreggerne i dati prima di stampare la relazione.";
    return text;
}

void WarnOfUnsizableSections(const SectionTable& table, Dialogs& dialogs,
                             const std::string& title) {
    const std::string text = UnsizableAfterSaveText(FindUnsizableSections(table, MaxSections));
    if (!text.empty()) {
        dialogs.Inform(title, text, MessageIcon::Exclamation);
    }
}

}  // namespace acquenza
