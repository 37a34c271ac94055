#include "interchange/network_exchange.h"

#include <cmath>

#include "core/numbers.h"

namespace acquenza::interchange {

NetworkExport ExportNetwork(const NetworkInput& input, const std::string& title,
                            double roughnessMm) {
    NetworkExport out;
    const NetworkTree tree = BuildTree(input);
    const int n = input.SectionCount();
    std::vector<int> position(static_cast<std::size_t>(n + 1), 0);
    int next = 0;
    for (int i = 1; i <= n; ++i) {
        const NetworkSection& s = input.sections[static_cast<std::size_t>(i)];
        if (!s.entered) {
            continue;
        }
        if (!tree.inNetwork[static_cast<std::size_t>(i)]) {
            out.leftOut.push_back(i);
            continue;
        }
        position[static_cast<std::size_t>(i)] = ++next;
    }
    out.network.title = title;
    out.network.sourceHead_m = input.sourceHead;
    for (int i = 1; i <= n; ++i) {
        const int at = position[static_cast<std::size_t>(i)];
        if (at == 0) {
            continue;
        }
        const NetworkSection& s = input.sections[static_cast<std::size_t>(i)];
        if (!(s.diameter > 0)) {
            out.error = "Tronco n." + SignedText(i) +
                        ": manca il diametro, e senza diametro la rete non si può esportare.";
            return out;
        }
        BranchedSection section;
        section.name = std::to_string(i);
        section.upstream = *s.upstream == 0 ? 0 : position[static_cast<std::size_t>(*s.upstream)];
        section.length_m = s.length;
        section.startElevation_m = s.zStart;
        section.endElevation_m = s.zEnd;
        section.alongFlow_lps = s.flowAlong;
        section.endDemand_lps = s.nodeDemand;
        section.diameter_mm = s.diameter * 1000;
        section.roughness_mm =
            s.loss.formula == LossFormula::DarcyWeisbach ? s.loss.roughnessMm : roughnessMm;
        out.network.sections.push_back(std::move(section));
    }
    out.ok = true;
    return out;
}

}  // namespace acquenza::interchange
