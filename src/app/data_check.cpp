#include "app/data_check.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "app/unsizable_sections.h"
#include "core/numbers.h"
#include "core/section_calculation.h"

namespace acquenza {

namespace {

CheckResult Fails(int section, Field focus, const std::string& text) {
    return {false, section, focus, "Tronco n." + SignedText(section) + ":\n" + text,
            MessageIcon::Stop};
}

// What is missing from section i, in the order the check asks for it.
std::optional<CheckResult> FirstGap(const SectionTable& t, int i) {
    struct Test {
        std::vector<Field> allEmpty;
        const char* text;
        Field focus;
    };
    // An empty allEmpty list stands for the length test: present, but not a
    // positive number.
    static const std::vector<Test> tests = {
        {{Field::lungh}, "- digitare la lunghezza.", Field::lungh},
        {{}, "- la lunghezza deve essere un numero maggiore di zero.", Field::lungh},
        {{Field::quotain}, "- manca il dato della quota iniziale.", Field::quotain},
        {{Field::quotafin}, "- manca il dato della quota finale.", Field::quotafin},
        {{Field::portun, Field::abitun, Field::dotazun},
         "- digitare la 'portata un.' o il numero di residenti e la dotazione idrica o il numero "
         "di residenti e cliccare su 'Antincendio'.",
         Field::portun},
        {{Field::portfin, Field::abitfin, Field::dotazfin},
         "- digitare la 'portata es.' o il numero di residenti e la dotazione idrica o il numero "
         "di residenti e cliccare su 'Antincendio'.",
         Field::portfin},
        {{Field::tipoc}, "- scegliere il tipo di condotta ('nuova' o 'in uso').", Field::tipoc},
    };
    for (const Test& test : tests) {
        const bool fails = test.allEmpty.empty()
                               ? !(NumericValue(t, i, Field::lungh) > 0)
                               : std::all_of(test.allEmpty.begin(), test.allEmpty.end(),
                                             [&](Field f) { return t.Get(i, f).IsEmpty(); });
        if (fails) {
            return Fails(i, test.focus, test.text);
        }
    }
    // A value that reads as infinite (a huge exponent in a file) can be
    // neither calculated nor printed.
    for (const Field f : t.Fields().Inputs()) {
        const FieldSpec& spec = t.Fields().Spec(f);
        // The network's values are typed, and judged, in the network window.
        if (spec.kind != FieldKind::Choice && spec.storage != Storage::NetworkBlock &&
            !std::isfinite(NumericValue(t, i, f))) {
            return Fails(i, f,
                         "- nella casella «" + std::string(spec.label) + "» il valore «" +
                             t.Get(i, f).DisplayText() + "» non è un numero utilizzabile.");
        }
    }
    return std::nullopt;
}

}  // namespace

CheckResult CheckSections(const Project& project, CheckFor purpose) {
    const SectionTable& t = project.sections;
    // Every section up to the last one with a length is looked at, so a
    // length that is not a positive number is refused rather than left
    // outside the count, where a save would drop it and the sections after.
    const int count = project.enteredSectionCount;
    int last = count;
    for (int s = MaxSections; s > count; --s) {
        if (!t.Get(s, Field::lungh).IsEmpty()) {
            last = s;
            break;
        }
    }
    if (last == 0) {
        return {false, 0, Field::lungh,
                "Non esistono dati riconosciuti:\n"
                "- per procedere è necessario digitare almeno la lunghezza del tronco n.1;\n"
                "- il controllo viene effettuato solo sui tronchi per i quali esiste il dato "
                "della lunghezza.",
                MessageIcon::Exclamation};
    }
    for (int i = 1; i <= last; ++i) {
        if (std::optional<CheckResult> gap = FirstGap(t, i)) {
            return *gap;
        }
        if (purpose == CheckFor::Save) {
            continue;
        }
        // Complete, but a report would print it with empty results and a
        // map of zeros.
        if (const SizingObstacle obstacle = FindSizingObstacle(t, i)) {
            return Fails(i, obstacle.field, ObstacleCheckText(t, i, obstacle));
        }
    }
    return {true, 0, Field::lungh,
            "I dati sono stati immessi correttamente per n." + SignedText(count) +
                " tronchi: i valori non inseriti vengono considerati nulli.",
            MessageIcon::Information};
}

}  // namespace acquenza
