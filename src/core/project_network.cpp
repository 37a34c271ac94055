#include "project_network.h"

#include <algorithm>
#include <cmath>

#include "flows.h"
#include "numbers.h"
#include "project_pipes.h"
#include "section_calculation.h"

namespace acquenza {

std::optional<int> UpstreamOf(const SectionTable& table, int section) {
    const FieldValue& link = table.Get(section, LinkField);
    if (!link.IsReference()) {
        return std::nullopt;
    }
    // A reference to a section no longer in the table does not outlive the
    // step that deleted it (ResetLinksToDeleted); should one remain, the
    // section is taken as fed by the source rather than lost.
    return table.PositionOf(link.ReferenceValue()).value_or(0);
}

std::string UpstreamText(const SectionTable& table, int section) {
    const std::optional<int> upstream = UpstreamOf(table, section);
    return upstream ? std::to_string(*upstream) : std::string();
}

FieldValue UpstreamValue(const SectionTable& table, int upstream) {
    return FieldValue::Reference(upstream <= 0 ? NoSection : table.IdAt(upstream));
}

int NetworkSectionCount(const Project& project) {
    return std::max(project.enteredSectionCount, LastSectionWithInput(project.sections));
}

bool HasNetwork(const Project& project) {
    const int count = NetworkSectionCount(project);
    for (int s = 1; s <= count; ++s) {
        if (UpstreamOf(project.sections, s)) {
            return true;
        }
    }
    return false;
}

namespace {

bool Typed(const FieldValue& value) {
    return !value.IsEmpty();
}

double FlowOf(const FieldValue& value) {
    const double x = NumericValue(value, FieldKind::Flow);
    return std::isfinite(x) ? x : 0.0;
}

// The sections continuing from each section (slot 0: from the source), for
// the links the tree accepted; links refused (a loop in a hand-edited file)
// are left out, so every walk below ends.
std::vector<std::vector<int>> Downstream(const SectionTable& table, int count) {
    NetworkInput links = NetworkInput::WithSections(count);
    for (int s = 1; s <= count; ++s) {
        NetworkSection& n = links.sections[static_cast<std::size_t>(s)];
        // A section without its length is not yet part of anything.
        n.entered = NumericValue(table, s, Field::lungh) > 0;
        n.upstream = UpstreamOf(table, s);
    }
    const NetworkTree tree = BuildTree(links);
    std::vector<char> refused(static_cast<std::size_t>(count + 1), 0);
    for (const LinkProblem& problem : tree.problems) {
        if (problem.section >= 1 && problem.section <= count) {
            refused[static_cast<std::size_t>(problem.section)] = 1;
        }
    }
    std::vector<std::vector<int>> children(static_cast<std::size_t>(count + 1));
    for (int s = 1; s <= count; ++s) {
        const NetworkSection& n = links.sections[static_cast<std::size_t>(s)];
        const std::optional<int>& up = n.upstream;
        if (n.entered && up && !refused[static_cast<std::size_t>(s)] && *up >= 0 && *up <= count) {
            children[static_cast<std::size_t>(*up)].push_back(s);
        }
    }
    return children;
}

// Sections below each other bottom-up: every section after all those
// continuing from it. A section met twice (which the accepted links never
// give) is taken once.
std::vector<int> BottomUp(const std::vector<std::vector<int>>& children) {
    std::vector<int> order;
    std::vector<char> seen(children.size(), 0);
    std::vector<std::pair<int, std::size_t>> stack;
    for (std::size_t root = 1; root < children.size(); ++root) {
        if (seen[root]) {
            continue;
        }
        stack.push_back({static_cast<int>(root), 0});
        seen[root] = 1;
        while (!stack.empty()) {
            auto& [node, next] = stack.back();
            const std::vector<int>& below = children[static_cast<std::size_t>(node)];
            if (next < below.size()) {
                const int child = below[next++];
                if (!seen[static_cast<std::size_t>(child)]) {
                    seen[static_cast<std::size_t>(child)] = 1;
                    stack.push_back({child, 0});
                }
            } else {
                order.push_back(node);
                stack.pop_back();
            }
        }
    }
    // Roots first met above may sit below others: order them by depth.
    std::vector<int> depth(children.size(), 0);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        for (const int child : children[static_cast<std::size_t>(*it)]) {
            depth[static_cast<std::size_t>(child)] = std::max(
                depth[static_cast<std::size_t>(child)], depth[static_cast<std::size_t>(*it)] + 1);
        }
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return depth[static_cast<std::size_t>(a)] > depth[static_cast<std::size_t>(b)];
    });
    return order;
}

double SixDecimals(double x) {
    return std::round(x * 1e6) / 1e6;
}

}  // namespace

double OwnDemand(const SectionTable& table, int section, bool hasDownstream) {
    const SectionRecord& r = table.Record(section);
    if (Typed(r[NodeDemandField])) {
        return FlowOf(r[NodeDemandField]);
    }
    if (Typed(r[Field::abitfin])) {
        const double residents = NumericValue(r[Field::abitfin], Field::abitfin);
        if (r[Field::dotazfin].DisplayText() == FireMarker) {
            return FireFlow(residents).value_or(0.0);
        }
        const double flow =
            DerivedFlow(residents, NumericValue(r[Field::dotazfin], Field::dotazfin));
        return std::isfinite(flow) ? flow : 0.0;
    }
    return hasDownstream ? 0.0 : FlowOf(r[Field::portfin]);
}

std::vector<int> ResetLinksToDeleted(Project& project, SectionId deleted) {
    std::vector<int> reset;
    for (int s = 1; s <= MaxSections; ++s) {
        const FieldValue& link = project.sections.Get(s, LinkField);
        if (link.IsReference() && link.ReferenceValue() == deleted && deleted != NoSection) {
            project.sections.Set(s, LinkField, FieldValue::Reference(NoSection));
            reset.push_back(s);
        }
    }
    return reset;
}

std::vector<int> SettleNetwork(Project& project, const std::vector<int>& endResidentsTyped) {
    SectionTable& t = project.sections;
    const int count = NetworkSectionCount(project);
    std::vector<int> changed;
    if (count == 0) {
        return changed;
    }
    const std::vector<std::vector<int>> children = Downstream(t, count);
    for (const int s : endResidentsTyped) {
        if (s >= 1 && s <= count && UpstreamOf(t, s) &&
            !children[static_cast<std::size_t>(s)].empty() && Typed(t.Get(s, NodeDemandField))) {
            t.Set(s, NodeDemandField, FieldValue::Text(""));
        }
    }
    for (const int s : BottomUp(children)) {
        const std::vector<int>& below = children[static_cast<std::size_t>(s)];
        if (!UpstreamOf(t, s) || (below.empty() && !Typed(t.Get(s, NodeDemandField)))) {
            continue;  // a stand-alone section, or an end node whose end flow is the user's
        }
        double sum = OwnDemand(t, s, !below.empty());
        for (const int j : below) {
            sum += FlowOf(t.Get(j, Field::portun)) + FlowOf(t.Get(j, Field::portfin));
        }
        sum = SixDecimals(sum);
        const FieldValue& now = t.Get(s, Field::portfin);
        if (!Typed(now) || FlowOf(now) != sum) {
            t.Set(s, Field::portfin, FieldValue::Text(NumberText(sum)));
            changed.push_back(s);
        }
    }
    return changed;
}

void KeepEndFlowAsDelivery(Project& project, int upstream) {
    SectionTable& t = project.sections;
    if (!SectionTable::IsValidSection(upstream)) {
        return;
    }
    const int count = NetworkSectionCount(project);
    for (int s = 1; s <= count; ++s) {
        const std::optional<int> up = UpstreamOf(t, s);
        if (up && *up == upstream) {
            return;  // something continues from it already
        }
    }
    const SectionRecord& r = t.Record(upstream);
    if (!Typed(r[NodeDemandField]) && !Typed(r[Field::abitfin]) && Typed(r[Field::portfin])) {
        t.Set(upstream, NodeDemandField, FieldValue::Text(NumberText(FlowOf(r[Field::portfin]))));
    }
}

std::optional<double> SourceHeadOf(const NetworkSettings& settings) {
    if (settings.sourceHead.empty()) {
        return std::nullopt;
    }
    return FlowValue(settings.sourceHead);
}

NetworkLimits LimitsOf(const NetworkSettings& settings, const NetworkLimits& office) {
    NetworkLimits limits = office;
    if (!settings.minimumPressure.empty()) {
        limits.minimumPressure = FlowValue(settings.minimumPressure);
    }
    if (!settings.maximumStaticPressure.empty()) {
        limits.maximumStaticPressure = FlowValue(settings.maximumStaticPressure);
    }
    return limits;
}

NetworkInput NetworkInputOf(const Project& project, const NetworkLimits& office,
                            std::span<const PipeSeries> catalogues) {
    const SectionTable& t = project.sections;
    const int count = NetworkSectionCount(project);
    NetworkInput input = NetworkInput::WithSections(count);
    input.limits = LimitsOf(project.network, office);
    // An unknown head leaves every node without one, which the analysis
    // says; NaN keeps it from passing for a head of 0 m.
    input.sourceHead = SourceHeadOf(project.network).value_or(std::nan(""));
    const std::vector<std::vector<int>> children = Downstream(t, count);
    for (int s = 1; s <= count; ++s) {
        NetworkSection& n = input.sections[static_cast<std::size_t>(s)];
        const SectionRecord& r = t.Record(s);
        n.length = NumericValue(r[Field::lungh], Field::lungh);
        n.entered = n.length > 0;
        n.upstream = UpstreamOf(t, s);
        n.zStart = NumericValue(r[Field::quotain], Field::quotain);
        n.zEnd = NumericValue(r[Field::quotafin], Field::quotafin);
        n.flowAlong = EffectiveFlow(r[Field::portun]);
        const bool below = !children[static_cast<std::size_t>(s)].empty();
        // An end node's delivery is its end flow as the calculation counts it.
        n.nodeDemand = below || Typed(r[NodeDemandField]) || Typed(r[Field::abitfin])
                           ? OwnDemand(t, s, below)
                           : EffectiveFlow(r[Field::portfin]);
        const SectionPipe pipe = PipeOf(project, s, catalogues);
        if (pipe.state == PipeState::Laid) {
            n.diameter = pipe.Size()->internalMm / 1000;
            n.loss = PipeLossModel(project.network, r, *pipe.series);
            continue;
        }
        if (r[NetworkDiameterField].IsEmpty()) {
            // The calculation's own diameter in cm, divided as it always was.
            if (r[Field::dia].IsNumber() && r[Field::dia].NumberValue() > 0) {
                n.diameter = r[Field::dia].NumberValue() / 100;
            }
        } else if (const std::optional<double> mm = TheoreticalDiameterMm(r)) {
            n.diameter = *mm / 1000;
        }
        // The network sizing's diameter, once the network was sized from
        // the source's head, takes the place of the section's own.
        if (const double mm = NumericValue(r[NetworkDiameterField], FieldKind::Number);
            std::isfinite(mm) && mm > 0) {
            n.diameter = mm / 1000;
        }
        n.loss.formula = LossFormula::Coefficient;
        n.loss.coefficient = RoughnessFor(r[Field::tipoc]).NumberValue();
    }
    return input;
}

}  // namespace acquenza
