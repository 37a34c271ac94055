#include "project_pipes.h"

#include <cmath>

#include "decimal_text.h"
#include "pipes.h"
#include "project_network.h"

namespace acquenza {

LossFormula PipeFormulaOf(const NetworkSettings& settings) {
    return settings.pipeFormula == DarcyWeisbachName ? LossFormula::DarcyWeisbach
                                                     : LossFormula::Coefficient;
}

const PipeSeries* FindSeries(std::span<const PipeSeries> catalogues, std::string_view name) {
    for (const PipeSeries& series : catalogues) {
        if (series.name == name) {
            return &series;
        }
    }
    return nullptr;
}

std::optional<double> TheoreticalDiameterMm(const SectionRecord& record) {
    const FieldValue& network = record[NetworkDiameterField];
    if (!network.IsEmpty()) {
        const double mm = NumericValue(network, FieldKind::Number);
        if (std::isfinite(mm) && mm > 0) {
            return mm;
        }
    }
    const FieldValue& dia = record[Field::dia];
    if (dia.IsNumber() && std::isfinite(dia.NumberValue()) && dia.NumberValue() > 0) {
        return dia.NumberValue() * 10;  // the calculation's diameter is in cm
    }
    return std::nullopt;
}

namespace {

std::string Typed(const SectionRecord& record, Field field) {
    return record[field].IsEmpty() ? std::string() : record[field].DisplayText();
}

}  // namespace

bool PipesChosen(const Project& project) {
    if (!project.network.series.empty()) {
        return HasNetwork(project);
    }
    const int count = NetworkSectionCount(project);
    for (int s = 1; s <= count; ++s) {
        const SectionRecord& r = project.sections.Record(s);
        if (UpstreamOf(project.sections, s) &&
            (!Typed(r, SeriesField).empty() || !Typed(r, PipeSizeField).empty())) {
            return true;
        }
    }
    return false;
}

SectionPipe PipeOf(const Project& project, int section, std::span<const PipeSeries> catalogues) {
    SectionPipe pipe;
    if (!SectionTable::IsValidSection(section) || !UpstreamOf(project.sections, section)) {
        return pipe;
    }
    const SectionRecord& r = project.sections.Record(section);
    const std::string ownSeries = Typed(r, SeriesField);
    const std::string sizeLabel = Typed(r, PipeSizeField);
    pipe.seriesName = ownSeries.empty() ? project.network.series : ownSeries;
    if (pipe.seriesName.empty() && sizeLabel.empty()) {
        return pipe;
    }
    pipe.theoreticalMm = TheoreticalDiameterMm(r);
    pipe.sizeTyped = !sizeLabel.empty();
    const std::string who = "tronco " + std::to_string(section) + ": ";
    pipe.series = FindSeries(catalogues, pipe.seriesName);
    if (pipe.series == nullptr) {
        pipe.state = PipeState::UnknownSeries;
        pipe.problem = pipe.seriesName.empty()
                           ? who + "la misura «" + sizeLabel + "» non ha una serie"
                           : who + "la serie «" + pipe.seriesName +
                                 "» non è in nessun catalogo delle tubazioni";
        return pipe;
    }
    const PipeSeries& series = *pipe.series;
    if (pipe.sizeTyped) {
        for (std::size_t i = 0; i < series.sizes.size(); ++i) {
            if (series.sizes[i].label == sizeLabel) {
                pipe.state = PipeState::Laid;
                pipe.size = i;
                return pipe;
            }
        }
        pipe.state = PipeState::UnknownSize;
        pipe.problem =
            who + "la misura «" + sizeLabel + "» non è nella serie «" + series.name + "»";
    } else if (!pipe.theoreticalMm) {
        pipe.state = PipeState::NotSized;
        pipe.problem = who + "nessun diametro teorico da cui scegliere la misura della serie «" +
                       series.name + "»";
    } else if (const std::optional<std::size_t> chosen = ChoosePipe(series, *pipe.theoreticalMm)) {
        pipe.state = PipeState::Laid;
        pipe.size = *chosen;
        return pipe;
    } else {
        pipe.state = PipeState::TooSmall;
        pipe.problem = who + NoPipeText(series, *pipe.theoreticalMm);
    }
    pipe.series = nullptr;
    return pipe;
}

LossModel PipeLossModel(const NetworkSettings& settings, const SectionRecord& record,
                        const PipeSeries& series) {
    LossModel model;
    model.formula = PipeFormulaOf(settings);
    model.coefficient = RoughnessFor(record[Field::tipoc]).NumberValue();
    model.roughnessMm = series.roughnessMm;
    return model;
}

}  // namespace acquenza
