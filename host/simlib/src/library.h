// Library-wide state behind the C boundary: board parameters, circuits by handle, and the
// current field. One instance per process; calls come one at a time from the host's thread.
#pragma once

#include <map>
#include <memory>
#include <optional>

#include "circuit.h"
#include "engine.h"
#include "field.h"
#include "line_params.h"
#include "network.h"

namespace qor::simlib {

// A circuit and, once built, its equivalent network and engine. The network is rebuilt when a
// time step asks for a different section count; the engine always refers to the current one.
struct CircuitRecord {
    Circuit circuit;
    BoardParameters board;  // as taken at build time
    int builtRevision = -1;
    std::unique_ptr<Network> network;
    std::unique_ptr<TransientEngine> engine;

    bool built() const { return network && builtRevision == circuit.revision(); }
};

struct BoardSize {
    Point2 lowM;
    Point2 highM;
};

// The field of one circuit, the probe and the display choices that go with it.
struct FieldState {
    int circuit = 0;
    FieldModel model;
    int probeXPixel = 0;
    int probeYPixel = 0;
    bool probeSet = false;
    int fieldType = 1;
    bool withPolygons = false;
};

class Library {
  public:
    static Library& instance();

    BoardParameters board;
    std::optional<BoardSize> boardSize;
    FieldState field;

    int create();
    CircuitRecord* find(int handle);
    bool remove(int handle);

    bool build(int handle);
    bool setTimeStep(int handle, double stepS);

    // Probe position in metres: pixels of the graph window map onto the field grid, one pixel
    // per cell with the origin at the grid's top-left corner, until a graph window gives its own
    // size.
    Point2 probeM() const;

  private:
    std::map<int, std::unique_ptr<CircuitRecord>> circuits_;
    int nextHandle_ = 1;
};

}  // namespace qor::simlib
