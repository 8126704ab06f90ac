// Board texts shared by the importer tests.
#pragma once

namespace qor::kicad::testing {

// Two footprints (one on the back, turned), two nets with a junction, an arc track and vias, a
// zone on two layers and a keep-out, an outline of lines and an arc given out of order, and an
// inner cut-out.
constexpr const char* kBoard = R"BOARD((kicad_pcb (version 20211014) (generator pcbnew)
  (title_block (title "Test board"))
  (layers (0 "F.Cu" signal) (1 "In1.Cu" signal "GND plane") (31 "B.Cu" signal) (44 "Edge.Cuts" user))
  (net 0 "")
  (net 1 "VCC")
  (net 2 "SIG")
  (footprint "Resistor_SMD:R_0805" locked (layer "F.Cu")
    (at 10 20 90)
    (fp_text reference "R1" (at 0 -1.5 90) (layer "F.SilkS"))
    (fp_text value "10k" (at 0 1.5 90) (layer "F.Fab"))
    (fp_line (start -1 -0.6) (end 1 -0.6) (layer "F.Fab") (width 0.1))
    (fp_rect (start -1.7 -1) (end 1.7 1) (layer "F.CrtYd") (width 0.05))
    (pad "1" smd rect (at -1 0 90) (size 1 1.4) (layers "F.Cu" "F.Paste" "F.Mask") (net 1 "VCC"))
    (pad "2" smd rect (at 1 0 90) (size 1 1.4) (layers "F.Cu" "F.Paste" "F.Mask") (net 2 "SIG"))
  )
  (footprint "Package_SO:SOIC-8" (layer "B.Cu")
    (at 30 20 180)
    (fp_text reference "U1" (at 0 3.5) (layer "B.SilkS"))
    (fp_text value "LM358" (at 0 -3.5) (layer "B.Fab"))
    (fp_line (start -2 -2.5) (end 2 -2.5) (layer "B.Fab") (width 0.1))
    (pad "1" smd rect (at -2.7 -1.905 180) (size 1.5 0.6) (layers "B.Cu" "B.Paste" "B.Mask") (net 2 "SIG"))
    (pad "8" smd rect (at 2.7 -1.905 180) (size 1.5 0.6) (layers "B.Cu") (net 1 "VCC"))
    (pad "" np_thru_hole circle (at 0 0) (size 1 1) (drill 1) (layers *.Cu *.Mask))
  )
  (gr_line (start 40 0) (end 40 30) (layer "Edge.Cuts") (width 0.1))
  (gr_line (start 0 0) (end 40 0) (layer "Edge.Cuts") (width 0.1))
  (gr_line (start 0 40) (end 30 40) (layer "Edge.Cuts") (width 0.1))
  (gr_arc (start 40 30) (mid 37.071068 37.071068) (end 30 40) (layer "Edge.Cuts") (width 0.1))
  (gr_line (start 0 40) (end 0 0) (layer "Edge.Cuts") (width 0.1))
  (gr_circle (center 20 10) (end 21 10) (layer "Edge.Cuts") (width 0.1))
  (gr_line (start 5 5) (end 6 6) (layer "F.SilkS") (width 0.1))
  (segment (start 10 19) (end 20 19) (width 0.25) (layer "F.Cu") (net 2))
  (segment (start 20 19) (end 20 15) (width 0.25) (layer "F.Cu") (net 2))
  (segment (start 20 19) (end 26 19) (width 0.25) (layer "F.Cu") (net 2))
  (via (at 26 19) (size 0.8) (drill 0.4) (layers "F.Cu" "B.Cu") (net 2))
  (arc (start 26 19) (mid 29 18) (end 32 19) (width 0.3) (layer "B.Cu") (net 2))
  (segment (start 32 19) (end 32.7 21.905) (width 0.3) (layer "B.Cu") (net 2))
  (segment (start 10 21) (end 10 25) (width 0.5) (layer "F.Cu") (net 1))
  (segment (start 10 25) (end 27 25) (width 0.5) (layer "F.Cu") (net 1))
  (via (at 27 25) (size 0.8) (drill 0.4) (layers "F.Cu" "B.Cu") (net 1))
  (segment (start 27 25) (end 27.3 21.905) (width 0.5) (layer "B.Cu") (net 1))
  (zone (net 1) (net_name "VCC") (layers "F.Cu" "B.Cu") (hatch edge 0.508)
    (polygon (pts (xy 1 1) (xy 5 1) (xy 5 5) (xy 1 5))))
  (zone (net 0) (net_name "") (layer "F.Cu") (keepout (tracks not_allowed))
    (polygon (pts (xy 2 2) (xy 3 2) (xy 3 3))))
))BOARD";

}  // namespace qor::kicad::testing
