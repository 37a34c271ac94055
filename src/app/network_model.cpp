#include "app/network_model.h"

#include <cmath>

#include "core/numbers.h"
#include "core/pipe_tables.h"

namespace acquenza {

namespace {

// Largest figure the network's boxes take: no head, pressure or flow of a
// real network comes near, and a file holds nothing larger.
constexpr double MaxNetworkFigure = 1e9;

// A typed number, "." or "," as the separator; nothing for a text that is
// no whole number.
std::optional<double> TypedNumber(const std::string& text) {
    if (!IsWholeNumber(text, true)) {
        return std::nullopt;
    }
    const double x = FlowValue(DotToComma(text));
    return std::isfinite(x) ? std::optional<double>(x) : std::nullopt;
}

}  // namespace

NetworkLimits OfficeLimits(const Settings& settings) {
    NetworkLimits limits;
    limits.minimumPressure = settings.pressureMin;
    limits.maximumStaticPressure = settings.staticPressureMax;
    limits.minimumVelocity = settings.velocityMin;
    limits.maximumVelocity = settings.velocityMax;
    return limits;
}

std::string NetworkValueLabel(NetworkValue value) {
    switch (value) {
        case NetworkValue::SourceHead:
            return "carico alla sorgente";
        case NetworkValue::MinimumPressure:
            return "pressione minima ai nodi";
        case NetworkValue::MaximumStaticPressure:
            return "pressione statica massima";
    }
    return {};
}

void NetworkModel::Refuse(const std::string& text) {
    dialogs_.Inform(state_.identity.titles.CheckTitle, text, MessageIcon::Exclamation);
}

bool NetworkModel::SetLink(int section, const std::string& typed) {
    if (!SectionTable::IsValidSection(section)) {
        return false;
    }
    Project& project = state_.project;
    const std::string text(
        typed.find_first_not_of(' ') == std::string::npos
            ? std::string()
            : typed.substr(typed.find_first_not_of(' '),
                           typed.find_last_not_of(' ') - typed.find_first_not_of(' ') + 1));
    std::optional<int> upstream;
    if (!text.empty()) {
        if (text.find_first_not_of("0123456789") != std::string::npos || text.size() > 4) {
            Refuse("Tronco n." + SignedText(section) +
                   ":\nil «tronco a monte» è il numero del "
                   "tronco da cui il tronco prosegue (0 per la sorgente, vuoto per un tronco a "
                   "sé): «" +
                   text + "» non lo è.");
            return false;
        }
        upstream = std::stoi(text);
    }
    if (upstream == UpstreamOf(project.sections, section)) {
        return true;
    }
    if (upstream) {
        NetworkInput links = NetworkInputOf(project, OfficeLimits(state_.settings));
        if (links.SectionCount() < std::max(section, *upstream)) {
            links.sections.resize(static_cast<std::size_t>(std::max(section, *upstream) + 1));
        }
        if (const std::optional<std::string> why = CheckLink(links, section, *upstream)) {
            Refuse(*why);
            return false;
        }
    }
    EditScope step(state_, "tronco a monte del tronco n." + SignedText(section), section);
    if (upstream && *upstream > 0) {
        KeepEndFlowAsDelivery(project, *upstream);
    }
    project.sections.Set(section, LinkField,
                         upstream ? UpstreamValue(project.sections, *upstream) : FieldValue());
    return true;
}

bool NetworkModel::SetNodeDemand(int section, const std::string& text) {
    if (!SectionTable::IsValidSection(section)) {
        return false;
    }
    std::string stored;
    if (text.find_first_not_of(' ') != std::string::npos) {
        const std::optional<double> x = TypedNumber(text);
        if (!x || *x < 0 || *x > MaxNetworkFigure) {
            Refuse("Tronco n." + SignedText(section) +
                   ":\nl'«erogazione al nodo» è la portata in l/s che il nodo alla fine del "
                   "tronco eroga da sé: un numero non negativo (per esempio 1,5). «" +
                   text + "» non lo è.");
            return false;
        }
        stored = NumberText(*x);
    }
    Project& project = state_.project;
    if (project.sections.Get(section, NodeDemandField).DisplayText() == stored) {
        return true;
    }
    EditScope step(state_, "erogazione al nodo del tronco n." + SignedText(section), section);
    project.sections.Set(section, NodeDemandField, FieldValue::Text(stored));
    return true;
}

bool NetworkModel::SetValue(NetworkValue value, const std::string& text) {
    std::string stored;
    if (text.find_first_not_of(' ') != std::string::npos) {
        const std::optional<double> x = TypedNumber(text);
        const bool pressure = value != NetworkValue::SourceHead;
        if (!x || std::abs(*x) > MaxNetworkFigure || (pressure && *x < 0)) {
            Refuse("Il valore «" + text + "» non è " +
                   (pressure ? std::string("una pressione in metri non negativa")
                             : std::string("una quota in metri s.l.m.")) +
                   " (" + NetworkValueLabel(value) + "; per esempio 355,5).");
            return false;
        }
        stored = NumberText(*x);
    }
    NetworkSettings& n = state_.project.network;
    std::string& slot = value == NetworkValue::SourceHead        ? n.sourceHead
                        : value == NetworkValue::MinimumPressure ? n.minimumPressure
                                                                 : n.maximumStaticPressure;
    if (slot == stored) {
        return true;
    }
    EditScope step(state_, NetworkValueLabel(value), 0);
    slot = stored;
    return true;
}

std::string NetworkModel::ValueText(NetworkValue value) const {
    const NetworkSettings& n = state_.project.network;
    const NetworkLimits office = OfficeLimits(state_.settings);
    switch (value) {
        case NetworkValue::SourceHead:
            return n.sourceHead;
        case NetworkValue::MinimumPressure:
            return n.minimumPressure.empty() ? NumberText(office.minimumPressure)
                                             : n.minimumPressure;
        case NetworkValue::MaximumStaticPressure:
            return n.maximumStaticPressure.empty() ? NumberText(office.maximumStaticPressure)
                                                   : n.maximumStaticPressure;
    }
    return {};
}

const NetworkInput& NetworkModel::Input() {
    input_ =
        NetworkInputOf(state_.project, OfficeLimits(state_.settings), state_.catalogues.series);
    return input_;
}

const NetworkResult& NetworkModel::Analysis() {
    const NetworkInput& input = Input();
    result_ = AnalyseNetwork(input, BuildTree(input), &memo_);
    AddPipeChecks(result_, state_.project, state_.catalogues.series);
    return result_;
}

}  // namespace acquenza
