// Transient engine: modified nodal analysis of a Network stepped with the trapezoidal rule.
//
// Unknowns: the voltages of nodes 1..n and the currents of all branches. Companion models of
// the trapezoidal rule with step h:
//   capacitor C to the plane:  i(k+1) = (2C/h) v(k+1) - [(2C/h) v(k) + i(k)]
//   R-L branch with EMF e:     v_ab(k+1) - (R + 2L/h) i(k+1)
//                                = -e(k+1) - e(k) - v_ab(k) + (R - 2L/h) i(k)
//   (a branch without L stays algebraic: v_ab - R i = -e).
// The matrix depends only on h, so it is factored once per time step (sparse LU) and every step
// is one back substitution. The first step after init() is the DC operating point at t = 0
// (capacitors open, inductors shorted), as a circuit simulator starts a transient analysis.
// The trapezoidal rule is A-stable and second order; it neither damps nor grows the lossless
// LC modes of the line sections, which is what a transmission-line model needs.
#pragma once

#include <Eigen/SparseCore>
#include <Eigen/SparseLU>
#include <utility>
#include <vector>

#include "network.h"

namespace qor::simlib {

class TransientEngine {
  public:
    explicit TransientEngine(const Network& network);

    // Factors the operating-point matrix; false when the network is singular.
    bool prepare();
    bool setTimeStep(double stepS);
    bool init();
    bool step();
    bool setPwlVoltage(int source, double voltageV);

    double nodeVoltage(int node) const;
    double branchCurrent(int branch) const;
    double timeS() const { return timeS_; }
    double stepS() const { return stepS_; }
    bool hasSolution() const { return started_; }
    bool initialised() const { return initialised_; }
    // Breakpoints (t, v) of every PWL source since init(), for a netlist that replays them.
    const std::vector<std::vector<std::pair<double, double>>>& pwlHistory() const {
        return pwlHistory_;
    }
    double pwlVoltage(int source) const { return pwlV_[static_cast<std::size_t>(source)]; }

  private:
    using Matrix = Eigen::SparseMatrix<double>;

    Matrix assemble(bool transient, double stepS) const;
    double sourceVoltage(int source, double tS) const;
    void recordPwl(double tS);
    int unknown(int node) const { return node - 1; }
    double v(int node) const { return node > 0 ? x_[unknown(node)] : 0.0; }

    const Network& net_;
    int size_ = 0;
    Eigen::SparseLU<Matrix> dcLu_;
    Eigen::SparseLU<Matrix> tranLu_;
    bool dcReady_ = false;
    bool tranReady_ = false;
    bool initialised_ = false;
    bool started_ = false;
    double stepS_ = 0;
    double timeS_ = 0;
    double baseS_ = 0;  // time at the last change of step
    long long stepsSinceBase_ = 0;
    Eigen::VectorXd x_;
    Eigen::VectorXd rhs_;
    std::vector<double> capCurrent_;
    std::vector<double> capHistory_;
    std::vector<double> sourceE_;
    std::vector<double> pwlV_;
    std::vector<int> capNodes_;
    std::vector<std::vector<std::pair<double, double>>> pwlHistory_;
};

}  // namespace qor::simlib
