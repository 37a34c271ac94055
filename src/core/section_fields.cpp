#include "section_fields.h"

#include <algorithm>
#include <stdexcept>

namespace acquenza {

FieldTable::FieldTable(std::vector<FieldSpec> fields)
    : specs_(std::move(fields)), index_(FieldSlots, -1) {
    for (std::size_t i = 0; i < specs_.size(); ++i) {
        const FieldSpec& spec = specs_[i];
        const int slot = static_cast<int>(spec.field);
        if (slot < 0 || slot >= FieldSlots || index_[static_cast<std::size_t>(slot)] != -1) {
            throw std::invalid_argument("campo " + std::string(spec.name) +
                                        ": posto nella sezione già usato o inesistente");
        }
        index_[static_cast<std::size_t>(slot)] = static_cast<int>(i);
        all_.push_back(spec.field);
        (spec.kind == FieldKind::Result ? results_ : inputs_).push_back(spec.field);
        if (spec.storage == Storage::SectionLine) {
            line_.push_back(spec.field);
        }
    }
    std::stable_sort(line_.begin(), line_.end(),
                     [&](Field a, Field b) { return Spec(a).position < Spec(b).position; });
}

FieldTable FieldTable::With(FieldSpec extra) const {
    std::vector<FieldSpec> fields = specs_;
    fields.push_back(std::move(extra));
    return FieldTable(std::move(fields));
}

bool FieldTable::Has(Field field) const {
    const int slot = static_cast<int>(field);
    return slot >= 0 && slot < FieldSlots && index_[static_cast<std::size_t>(slot)] >= 0;
}

const FieldSpec& FieldTable::Spec(Field field) const {
    if (!Has(field)) {
        throw std::out_of_range("campo non descritto");
    }
    return specs_[static_cast<std::size_t>(index_[static_cast<std::size_t>(field)])];
}

namespace {

// A field the user types, saved on the section's line at `position`.
FieldSpec Input(Field field, std::string_view name, std::string_view label, FieldKind kind,
                int position, ScreenColumn screen, SummaryPlace summary, ReportPlace report,
                std::string_view ofName = {}) {
    FieldSpec spec;
    spec.field = field;
    spec.name = name;
    spec.label = label;
    spec.ofName = ofName;
    spec.kind = kind;
    spec.storage = Storage::SectionLine;
    spec.position = position;
    spec.screen = screen;
    spec.summary = summary;
    spec.report = report;
    return spec;
}

// A result of the calculation: in the result area, not saved.
FieldSpec Result(Field field, std::string_view name, ScreenColumn screen, SummaryPlace summary,
                 ReportPlace report) {
    FieldSpec spec;
    spec.field = field;
    spec.name = name;
    spec.label = name;
    spec.kind = FieldKind::Result;
    spec.screen = screen;
    spec.summary = summary;
    spec.report = report;
    return spec;
}

std::vector<FieldSpec> Standard() {
    using K = FieldKind;
    using C = ReportCell;
    using P = PrintAt;
    std::vector<FieldSpec> f = {
        Input(Field::lungh, "lungh", "lunghezza", K::Length, 0,
              {"lunghezza", "metri", "lunghezza del tronco considerato", 570, 780},
              {10, "Lunghezza (m)", "Lunghezza\n(m)", 2},
              {C::Measure, 2, "lungh.", "m.", "lunghezza del tronco", {}, P::DecimalSeparator, 16},
              "della lunghezza"),
        Input(Field::quotain, "quotain", "quota iniziale", K::Elevation, 1,
              {"quota iniz.", "metri", "quota iniziale del tronco da calcolare", 1380, 780},
              {20, "Quota iniziale (m)", "Quota iniz.\n(m)", 2},
              {C::Measure,
               2,
               "quota1",
               "m.",
               "quota iniziale del tronco",
               {},
               P::DecimalSeparator,
               24},
              "della quota iniziale"),
        Input(
            Field::quotafin, "quotafin", "quota finale", K::Elevation, 2,
            {"quota fin.", "metri", "quota finale del tronco da calcolare", 2190, 780},
            {30, "Quota finale (m)", "Quota fin.\n(m)", 2},
            {C::Measure, 2, "quota2", "m.", "quota finale del tronco", {}, P::DecimalSeparator, 32},
            "della quota finale"),
        Input(Field::portun, "portun", "portata uniforme", K::Flow, 3,
              {"portata un.", "l/sec", "portata uniforme lungo il tronco", 3000, 780},
              {40, "Portata lungo il tronco (l/s)", "Portata un.\n(l/s)", 2},
              {C::Measure,
               2,
               "port.1",
               "l/sec",
               "portata uniforme lungo il tronco",
               {},
               P::DecimalSeparator,
               38},
              "della 'portata un.'"),
        Input(Field::abitun, "abitun", "abitanti", K::Count, 4,
              {"abitanti", "numero", "numero massimo di residenti serviti lungo il tronco", 3810,
               780},
              {},
              {C::Residents,
               0,
               "abit.1",
               "n.",
               "numero di residenti serviti lungo il tronco",
               {},
               P::End,
               49}),
        Input(Field::dotazun, "dotazun", "dotazione idrica", K::Allowance, 5,
              {"dot.idrica", "l/abitante",
               "dotazione idrica giornaliera per i residenti lungo il tronco (mediamente 250 "
               "litri al giorno)",
               4620, 780},
              {},
              {C::Allowance,
               0,
               "dotaz.1",
               "l/abit",
               "dotazione idrica giornaliera per i residenti lungo il tronco",
               {},
               P::End,
               57}),
        Input(Field::portfin, "portfin", "portata all'estremità", K::Flow, 6,
              {"portata es.", "l/sec", "portata all'estremità del tronco", 5430, 780},
              {50, "Portata all'estremità (l/s)", "Portata es.\n(l/s)", 2},
              {C::Measure,
               2,
               "port.2",
               "l/sec",
               "portata all'estremità finale del tronco",
               {},
               P::DecimalSeparator,
               62},
              "della 'portata es.'"),
        Input(Field::abitfin, "abitfin", "abitanti2", K::Count, 7,
              {"abitanti2", "numero",
               "numero massimo di residenti serviti dalla parte finale del tronco", 6240, 780},
              {},
              {C::Residents,
               0,
               "abit.2",
               "n.",
               "numero di residenti serviti dall'estremità del tronco",
               {},
               P::End,
               73}),
        Input(Field::dotazfin, "dotazfin", "dotazione idrica2", K::Allowance, 8,
              {"dot.idrica2", "l/abitante",
               "dotazione idrica giornaliera per i residenti alla fine del tronco (mediamente "
               "250 litri al giorno)",
               7050, 780},
              {},
              {C::Allowance,
               0,
               "dotaz.2",
               "l/abit",
               "dotazione idrica giornaliera per i residenti all'estremità del tronco",
               {},
               P::End,
               81}),
        Input(
            Field::tipoc, "tipoc", "tipo di condotta", K::Choice, 9,
            {"condotta", "tipo", "tipo di condotta del tronco ('nuova' o già 'in uso')", 7860, 900},
            {60, "Tipo di condotta", "Tipo di\ncondotta", 0}, {}),
        Result(
            Field::per, "per",
            {"p.di carico", "metri", "perdita di carico all'estremità della condotta", 1740, 1020},
            {70, "Perdita di carico (m)", "Perdita di\ncarico (m)", 2},
            {C::Result,
             2,
             "p.car.",
             "m.",
             "perdita di carico all'estremità del tronco",
             {},
             P::DecimalSeparator,
             88}),
        Result(Field::dia, "dia",
               {"diametro", "cm", "diametro massimo di calcolo del tubo", 2820, 1020},
               {80, "Diametro (cm)", "Diametro\n(cm)", 1},
               {C::Result, 2, "diam.", "cm.", "diametro terorico del tubo",
                "diametro teorico del tubo", P::DecimalSeparator, 96}),
        Result(Field::vel, "vel", {"velocità", "m/sec", "velocità dell'acqua nel tubo", 3900, 1020},
               {90, "Velocità (m/s)", "Velocità\n(m/s)", 2},
               {C::Result,
                2,
                "vel.",
                "m/s",
                "velocità dell'acqua nel tubo",
                {},
                P::DecimalSeparator,
                103}),
        Result(Field::sca, "sca",
               {"scabrezza", "coeff.",
                "coefficiente immesso in automatico per tubazioni 'nuove' o 'in uso'", 4980, 1020},
               {100, "Scabrezza", "Scabrezza", 4},
               {C::Result,
                4,
                "scabr.",
                "coeff.",
                "coefficiente di scabrezza per il tipo di tubazioni",
                {},
                P::Start,
                110}),
    };
    f[static_cast<std::size_t>(Field::tipoc)].choices = {"nuova", "in uso"};
    return f;
}

}  // namespace

const FieldTable& StandardFields() {
    static const FieldTable table(Standard());
    return table;
}

const FieldTable& ProgramFields() {
    static const FieldTable table = [] {
        FieldSpec link;
        link.field = LinkField;
        link.name = "monte";
        link.label = "tronco a monte";
        link.kind = FieldKind::Link;
        link.storage = Storage::NetworkBlock;
        FieldSpec demand;
        demand.field = NodeDemandField;
        demand.name = "erog";
        demand.label = "erogazione al nodo";
        demand.ofName = "dell'erogazione al nodo";
        demand.kind = FieldKind::Flow;
        demand.storage = Storage::NetworkBlock;
        auto networkValue = [](Field field, std::string_view name, std::string_view label,
                               FieldKind kind) {
            FieldSpec spec;
            spec.field = field;
            spec.name = name;
            spec.label = label;
            spec.kind = kind;
            spec.storage = Storage::NetworkBlock;
            return spec;
        };
        return StandardFields()
            .With(std::move(link))
            .With(std::move(demand))
            .With(networkValue(SeriesField, "serie", "serie", FieldKind::Choice))
            .With(networkValue(PipeSizeField, "misura", "misura", FieldKind::Choice))
            .With(networkValue(NetworkDiameterField, "dianet", "diametro della rete (mm)",
                               FieldKind::Number));
    }();
    return table;
}

}  // namespace acquenza
