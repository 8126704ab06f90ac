/* QorEMABRD32: equivalent circuit and transient solver of PCB interconnect, and the quasi-static
 * field of the simulated copper.
 *
 * Units at this boundary:
 *   - x, y and trace widths: kernel units of 10 nm, displaced so that the centre of the trace
 *     extents is the origin (1e-8 m per unit);
 *   - z: height above the bottom of the layer sandwich in thousandths of an inch (25.4 um);
 *   - board parameters: metres, ohm metres, relative permittivity;
 *   - arc angles: whole degrees, counter-clockwise, 0 <= sweep < 360;
 *   - times in seconds, voltages in volts, R in ohms, L in henries, C in farads;
 *   - field cell sizes in metres, probe positions in pixels of the graph window.
 *
 * Handles are positive 32-bit integers; 0 means failure. No call throws or aborts on a bad
 * argument: unknown handles, non-finite or non-positive values where a positive one is needed
 * return the failure result (0, or 0.0 for value queries).
 *
 * Library-wide state (there are no circuit arguments to these): the board parameters and board
 * size set before a circuit is created, and the current field, probe and field type. Several
 * circuits may exist at once; the field follows the circuit last given to Field_Size.
 */
#ifndef QOR_SIMLIB_SIMLIB_H
#define QOR_SIMLIB_SIMLIB_H

#include <stdint.h>

#include "qor/platform/export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Board (library-wide; taken by SIM_Build_Equivalent) ---- */
QOR_API int32_t SIM_Set_Board_Parametrs(double relPermittivity, double resistivityOhmM,
                                        double copperThicknessM, double boardThicknessM);
QOR_API int32_t SIM_Set_Board_Size(double x1, double y1, double x2, double y2);

/* ---- Circuit building ---- */
QOR_API int32_t SIM_Create_Super_Node(void);
QOR_API int32_t SIM_Add_Line_Seg(int32_t circuit, double x1, double y1, double x2, double y2,
                                 double width, double z);
/* The arc runs from (x1, y1) to (x2, y2); startAngleDeg is the direction from the centre to the
 * end point at which the counter-clockwise sweep starts (either of the two). */
QOR_API int32_t SIM_Add_Arc_Seg(int32_t circuit, double x1, double y1, double x2, double y2,
                                int32_t startAngleDeg, int32_t sweepDeg, double width, double z);

/* Sources: an ideal generator behind the series ROut and LOut, COut from the point to the return
 * plane. Results are source handles. */
QOR_API int32_t SIM_Add_Voltage_Pulse(int32_t circuit, double x, double y, double vMin, double vMax,
                                      double tRise, double tHigh, double tFall, double tLow,
                                      double rOut, double lOut, double cOut);
QOR_API int32_t SIM_Add_Voltage_Sine(int32_t circuit, double x, double y, double vMin, double vMax,
                                     double freq, double tPhase, double rOut, double lOut,
                                     double cOut);
QOR_API int32_t SIM_Add_Voltage_Constant(int32_t circuit, double x, double y, double vMax,
                                         double rOut, double lOut, double cOut);
/* Piecewise-linear source whose voltage the caller sets before each step. */
QOR_API int32_t SIM_Add_Voltage_Source(int32_t circuit, double x, double y, double rOut,
                                       double lOut, double cOut);
QOR_API int32_t SIM_Add_Gnd(int32_t circuit, double x, double y);
/* Receiver: the point, through LIn, loaded by RIn parallel CIn to the return plane (RIn <= 0:
 * no resistive load). */
QOR_API int32_t SIM_Add_Input_Node(int32_t circuit, double x, double y, double rIn, double lIn,
                                   double cIn);
QOR_API int32_t SIM_Add_View(int32_t circuit, double x, double y);
QOR_API int32_t SIM_Add_View_Voltage(int32_t circuit, int32_t source);

/* Copper areas: one polygon per triangle (three points), linked to the copper at given points. */
QOR_API int32_t SIM_Add_Polygon(int32_t circuit, double z);
QOR_API int32_t SIM_Add_Point_To_Polygon(int32_t circuit, int32_t polygon, double x, double y);
QOR_API int32_t SIM_Add_Point_Link_Polygon(int32_t circuit, int32_t polygon, double x, double y);

QOR_API int32_t SIM_Build_Equivalent(int32_t circuit);
QOR_API int32_t SIM_Delete_Super_Node(int32_t circuit);

/* ---- Run ---- */
QOR_API int32_t SIM_Calc_Set_Time_Step(int32_t circuit, double stepS);
/* Resets the run; the next SIM_Calc_Sim_Step gives the operating point at t = 0, each further one
 * advances by the time step. May be called again on a circuit that was already stepped. */
QOR_API int32_t SIM_Calc_Init(int32_t circuit);
QOR_API int32_t SIM_Set_Voltage_Source(int32_t circuit, int32_t source, double voltage);
QOR_API int32_t SIM_Calc_Sim_Step(int32_t circuit);
/* quantity 1: the view's voltage in volts (the only quantity defined). */
QOR_API double SIM_Get_View(int32_t circuit, int32_t view, int32_t quantity);

/* Writes the built equivalent circuit as a SPICE netlist (PWL sources carry the voltages set so
 * far). 1 on success. */
QOR_API int32_t SIM_Export_Netlist(int32_t circuit, const char* path);

/* ---- Field (library-wide current field) ---- */
/* field: 0 Hz [A/m], 1 |E| [V/m], 2 |A| [Wb/m], 3 Fi [V], on a plane 1 mm above the board.
 * Field_Size lays a square grid of cells of cellM around the board size given (else around the
 * circuit's copper) and binds the field to the circuit; Field_Calc evaluates it from the
 * circuit's present step (0 before the first step). Field_Get_Max gives the largest magnitude
 * over the grid, Field_Get_Max_mid the largest 3 x 3-cell mean (a steadier scale). The graph
 * type argument does not change the values. Set_Field_Zond takes pixels of the graph window;
 * until a graph window is bound, one pixel is one grid cell from the grid's top-left corner.
 * Set_Poly / Reset_Poly include or leave out the charge of the copper areas. */
QOR_API int32_t Field_Size(int32_t circuit, double cellM);
QOR_API int32_t Field_Calc(void);
QOR_API double Field_Get_Value(int32_t field);
QOR_API double Field_Get_Max(int32_t field, int32_t graphType);
QOR_API double Field_Get_Max_mid(int32_t field, int32_t graphType);
QOR_API int32_t Field_Delete(void);
QOR_API int32_t Set_Field_Zond(int32_t xPixel, int32_t yPixel);
QOR_API int32_t Set_Field_Type(int32_t field);
QOR_API int32_t Set_Poly(void);
QOR_API int32_t Reset_Poly(void);

#ifdef __cplusplus
}
#endif

#endif /* QOR_SIMLIB_SIMLIB_H */
