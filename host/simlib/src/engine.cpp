#include "engine.h"

#include <cmath>

namespace qor::simlib {

TransientEngine::TransientEngine(const Network& network)
    : net_(network),
      size_(network.nodeCount + static_cast<int>(network.branches.size())),
      x_(Eigen::VectorXd::Zero(size_)),
      rhs_(Eigen::VectorXd::Zero(size_)),
      capCurrent_(network.nodeCapF.size(), 0.0),
      capHistory_(network.nodeCapF.size(), 0.0),
      sourceE_(network.sources.size(), 0.0),
      pwlV_(network.sources.size(), 0.0),
      pwlHistory_(network.sources.size()) {
    for (int n = 1; n <= network.nodeCount; ++n) {
        if (network.nodeCapF[static_cast<std::size_t>(n)] > 0) capNodes_.push_back(n);
    }
}

TransientEngine::Matrix TransientEngine::assemble(bool transient, double stepS) const {
    std::vector<Eigen::Triplet<double>> t;
    t.reserve(net_.conductances.size() * 4 + net_.branches.size() * 5 + capNodes_.size());
    const auto stamp = [&](int a, int b, double g) {
        if (a > 0) t.emplace_back(unknown(a), unknown(a), g);
        if (b > 0) t.emplace_back(unknown(b), unknown(b), g);
        if (a > 0 && b > 0) {
            t.emplace_back(unknown(a), unknown(b), -g);
            t.emplace_back(unknown(b), unknown(a), -g);
        }
    };
    for (const Conductance& g : net_.conductances) stamp(g.a, g.b, g.gS);
    if (transient) {
        for (const int n : capNodes_)
            stamp(n, 0, 2 * net_.nodeCapF[static_cast<std::size_t>(n)] / stepS);
    }
    for (std::size_t k = 0; k < net_.branches.size(); ++k) {
        const Branch& br = net_.branches[k];
        const int row = net_.nodeCount + static_cast<int>(k);
        if (br.a > 0) {
            t.emplace_back(unknown(br.a), row, 1.0);
            t.emplace_back(row, unknown(br.a), 1.0);
        }
        if (br.b > 0) {
            t.emplace_back(unknown(br.b), row, -1.0);
            t.emplace_back(row, unknown(br.b), -1.0);
        }
        const double z = transient && br.lH > 0 ? br.rOhm + 2 * br.lH / stepS : br.rOhm;
        t.emplace_back(row, row, -z);
    }
    Matrix m(size_, size_);
    m.setFromTriplets(t.begin(), t.end());
    m.makeCompressed();
    return m;
}

bool TransientEngine::prepare() {
    if (size_ == 0 || net_.nodeCount == 0) return false;
    dcLu_.compute(assemble(false, 0));
    dcReady_ = dcLu_.info() == Eigen::Success;
    return dcReady_;
}

bool TransientEngine::setTimeStep(double stepS) {
    if (!(stepS > 0) || !std::isfinite(stepS) || size_ == 0) return false;
    tranLu_.compute(assemble(true, stepS));
    tranReady_ = tranLu_.info() == Eigen::Success;
    if (!tranReady_) return false;
    // A run under way goes on from where it is with the new step.
    baseS_ = timeS_;
    stepsSinceBase_ = 0;
    stepS_ = stepS;
    return true;
}

bool TransientEngine::init() {
    if (!tranReady_) return false;
    if (!dcReady_ && !prepare()) return false;
    x_.setZero();
    std::fill(capCurrent_.begin(), capCurrent_.end(), 0.0);
    for (auto& h : pwlHistory_) h.clear();
    baseS_ = 0;
    stepsSinceBase_ = 0;
    timeS_ = 0;
    started_ = false;
    initialised_ = true;
    return true;
}

bool TransientEngine::setPwlVoltage(int source, double voltageV) {
    if (source < 0 || source >= static_cast<int>(net_.sources.size()) || !std::isfinite(voltageV)) {
        return false;
    }
    if (net_.sources[static_cast<std::size_t>(source)].kind != SourceKind::Pwl) return false;
    pwlV_[static_cast<std::size_t>(source)] = voltageV;
    return true;
}

double TransientEngine::sourceVoltage(int source, double tS) const {
    const auto i = static_cast<std::size_t>(source);
    return net_.sources[i].voltageAt(tS, pwlV_[i]);
}

void TransientEngine::recordPwl(double tS) {
    for (std::size_t i = 0; i < net_.sources.size(); ++i) {
        if (net_.sources[i].kind != SourceKind::Pwl) continue;
        auto& h = pwlHistory_[i];
        const double value = pwlV_[i];
        if (h.empty()) {
            h.emplace_back(tS, value);
        } else if (h.back().second != value) {
            const double previousS = tS - stepS_;
            if (h.back().first < previousS) h.emplace_back(previousS, h.back().second);
            h.emplace_back(tS, value);
        }
    }
}

bool TransientEngine::step() {
    if (!initialised_ || !tranReady_ || !dcReady_) return false;
    const std::size_t n = static_cast<std::size_t>(net_.nodeCount);
    rhs_.setZero();
    if (!started_) {
        timeS_ = 0;
        for (std::size_t s = 0; s < net_.sources.size(); ++s) {
            sourceE_[s] = sourceVoltage(static_cast<int>(s), 0);
            rhs_[static_cast<Eigen::Index>(n) + net_.sourceBranch[s]] = -sourceE_[s];
        }
        x_ = dcLu_.solve(rhs_);
        std::fill(capCurrent_.begin(), capCurrent_.end(), 0.0);
        started_ = true;
    } else {
        ++stepsSinceBase_;
        const double h = stepS_;
        // Counted rather than summed, so that long runs keep their time points exact.
        const double tS = baseS_ + static_cast<double>(stepsSinceBase_) * h;
        for (const int node : capNodes_) {
            const auto i = static_cast<std::size_t>(node);
            const double g = 2 * net_.nodeCapF[i] / h;
            capHistory_[i] = g * v(node) + capCurrent_[i];
            rhs_[unknown(node)] = capHistory_[i];
        }
        for (std::size_t k = 0; k < net_.branches.size(); ++k) {
            const Branch& br = net_.branches[k];
            const Eigen::Index row = static_cast<Eigen::Index>(n + k);
            double eNew = 0;
            double eOld = 0;
            if (br.source >= 0) {
                eOld = sourceE_[static_cast<std::size_t>(br.source)];
                eNew = sourceVoltage(br.source, tS);
                sourceE_[static_cast<std::size_t>(br.source)] = eNew;
            }
            if (br.lH > 0) {
                rhs_[row] =
                    -eNew - eOld - (v(br.a) - v(br.b)) + (br.rOhm - 2 * br.lH / h) * x_[row];
            } else {
                rhs_[row] = -eNew;
            }
        }
        x_ = tranLu_.solve(rhs_);
        for (const int node : capNodes_) {
            const auto i = static_cast<std::size_t>(node);
            capCurrent_[i] = 2 * net_.nodeCapF[i] / h * v(node) - capHistory_[i];
        }
        timeS_ = tS;
    }
    recordPwl(timeS_);
    return x_.allFinite();
}

double TransientEngine::nodeVoltage(int node) const {
    if (!started_ || node <= 0 || node > net_.nodeCount) return 0;
    return v(node);
}

double TransientEngine::branchCurrent(int branch) const {
    if (!started_ || branch < 0 || branch >= static_cast<int>(net_.branches.size())) return 0;
    return x_[net_.nodeCount + branch];
}

}  // namespace qor::simlib
