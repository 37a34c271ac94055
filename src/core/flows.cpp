#include "flows.h"

#include <cmath>

#include "numbers.h"

namespace acquenza {

SideFields FieldsOf(FlowSide side) {
    if (side == FlowSide::Along) {
        return {Field::abitun, Field::dotazun, Field::portun};
    }
    return {Field::abitfin, Field::dotazfin, Field::portfin};
}

double DerivedFlow(double residents, double allowance) {
    const double flow = residents * allowance * 2.25 / 16 / 60 / 60;
    return std::floor(100 * flow + 0.5) / 100;
}

std::optional<double> FireFlow(double residents) {
    if (!std::isfinite(residents) || residents < 0) {
        return std::nullopt;
    }
    const double flow = std::sqrt(residents / 1000) * 4.5 - (0.045 * residents) / 1000;
    return RoundHalfUp(flow, 100);
}

namespace {

// A flow stored the way the flow box stores what is written into it.
FieldValue StoredFlow(double flow) {
    return FieldValue::Text(DotToComma(NumberText(flow)));
}

}  // namespace

ResidentsUpdate ApplyResidents(Project& project, int section, FlowSide side,
                               std::string_view residentsText) {
    ResidentsUpdate update;
    SectionTable& table = project.sections;
    const SideFields f = FieldsOf(side);
    table.Set(section, f.residents, FieldValue::Text(residentsText));

    const bool hasLength = !table.Get(section, Field::lungh).IsEmpty();
    // Along the section a missing flow only becomes 0 once the section has a
    // length; at the end it always does.
    if (table.Get(section, f.flow).IsEmpty() && (hasLength || side == FlowSide::End)) {
        table.Set(section, f.flow, FieldValue::Number(0));
    }

    if (table.Get(section, f.allowance).IsEmpty() && hasLength) {
        table.Set(section, f.allowance, table.Get(section - 1, f.allowance));
        if (table.Get(section, f.allowance).IsEmpty()) {
            table.Set(section, f.allowance, FieldValue::Number(DefaultAllowance));
        }
        update.allowanceText = table.Get(section, f.allowance).DisplayText();
    }

    const FieldValue& residents = table.Get(section, f.residents);
    const FieldValue& allowance = table.Get(section, f.allowance);
    const bool fireFlow = allowance.IsText() && allowance.TextValue() == FireMarker;
    if (!residents.IsEmpty() && !allowance.IsEmpty() && !fireFlow) {
        const double flow =
            DerivedFlow(NumericValue(residents, f.residents), NumericValue(allowance, f.allowance));
        table.Set(section, f.flow, StoredFlow(flow));
        update.flowText = NumberText(flow);
    }
    return update;
}

FireUpdate ApplyFireButton(Project& project, int section, FlowSide side) {
    FireUpdate update;
    const SideFields f = FieldsOf(side);
    const double residents = NumericValue(project.sections, section, f.residents);
    if (residents == 0) {
        update.result = FireButtonResult::NoResidents;
        return update;
    }
    const std::optional<double> flow = FireFlow(residents);
    if (!flow) {
        update.result = FireButtonResult::NegativeResidents;
        return update;
    }
    project.sections.Set(section, f.flow, StoredFlow(*flow));
    project.sections.Set(section, f.allowance, FieldValue::Text(FireMarker));
    update.result = FireButtonResult::Applied;
    update.side = side;
    update.flowText = NumberText(*flow);
    return update;
}

}  // namespace acquenza
