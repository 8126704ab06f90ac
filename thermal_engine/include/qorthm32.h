/* QORTHM32: the thermal analysis engine, seen from its callers.
 *
 * Plain C exports with 32-bit integers, 64-bit doubles, 4-byte packed records and
 * NUL-terminated single-byte texts. Library calls return 0 or a code from 1000 up (THM_L_),
 * compiler calls 0 or a code from 2000 up (THM_C_), library-set calls 0 or a code from 3000 up
 * (THM_S_). No call throws.
 *
 * Paths: a library named L in the library folder D lives in D + "/" + L + ".TAL". */
#ifndef QORTHM32_H
#define QORTHM32_H

#include <stddef.h>
#include <stdint.h>

#include "qor/platform/export.h"

#ifdef __cplusplus
extern "C" {
#define QOR_THM_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define QOR_THM_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

/* Device names are stored with at most this many characters; longer names are cut. */
#define THM_DEVICE_NAME_CHARS 15
/* A library holds at most this many devices. */
#define THM_LIBRARY_MAX_DEVICES 1999
/* The library set holds at most this many library names of at most 15 characters. */
#define THM_SET_MAX_LIBRARIES 100

#pragma pack(push, 4)

/* One device of a thermal library: 48 bytes, also the record layout of the .TAL file. */
typedef struct DeviceRecord {
    char name[15];       /* NUL-terminated when shorter than 15 characters */
    uint8_t packageType; /* PackageTypeCode */
    double minPowerW;
    double maxPowerW;
    double junctionCaseCPerW;
    double caseAirCPerW;
} DeviceRecord;

/* Board parameters: 48 bytes. */
typedef struct BoardParameters {
    double insulatorConductivityWPerMK;
    double copperThicknessMm; /* total copper thickness */
    double emissivity;
    double copperFractionPercent; /* surface fraction of copper */
    double orientation;           /* 0 horizontal, 1 vertical; kept as a whole number */
    double boardThicknessMm;
} BoardParameters;

/* Cooling parameters: 16 bytes. */
typedef struct CoolingParameters {
    int32_t direction; /* 0 none, 1 from the left, 2 right, 3 bottom, 4 top */
    double airVelocityMPerS;
    int32_t fanDistanceMm; /* distance of the fan from the board edge, whole millimetres */
} CoolingParameters;

/* Temperature parameters: 52 bytes. Window bounds are fiftieths of a degree. */
typedef struct TemperatureParameters {
    int32_t stepUnits; /* requested raster step, database units */
    double ambientC;
    int32_t scaleMode; /* 1 user colour limits, anything else automatic */
    double colourUpperC;
    double colourLowerC;
    int32_t windowOn;
    double windowUpperFiftieths; /* kept as a whole number */
    double windowLowerFiftieths; /* kept as a whole number */
} TemperatureParameters;

/* Thermal parameters of one component: 68 bytes. */
typedef struct ComponentParameters {
    int32_t packageType; /* PackageTypeCode */
    double minPowerW;
    double maxPowerW;
    double junctionCaseCPerW;
    double caseAirCPerW;
    int32_t dutyCyclePercent;
    double fanSpeed; /* linear airflow at the component */
    double heatsinkCPerW;
    double interfaceCPerW;
    uint8_t fanOn;
    uint8_t heatsinkOn;
    uint8_t interfaceOn;
    uint8_t unused;
} ComponentParameters;

#pragma pack(pop)

QOR_THM_STATIC_ASSERT(sizeof(DeviceRecord) == 48, "DeviceRecord is 48 bytes");
QOR_THM_STATIC_ASSERT(offsetof(DeviceRecord, name) == 0, "DeviceRecord.name at 0");
QOR_THM_STATIC_ASSERT(offsetof(DeviceRecord, packageType) == 15, "DeviceRecord.packageType at 15");
QOR_THM_STATIC_ASSERT(offsetof(DeviceRecord, minPowerW) == 16, "DeviceRecord.minPowerW at 16");
QOR_THM_STATIC_ASSERT(offsetof(DeviceRecord, maxPowerW) == 24, "DeviceRecord.maxPowerW at 24");
QOR_THM_STATIC_ASSERT(offsetof(DeviceRecord, junctionCaseCPerW) == 32,
                      "DeviceRecord.junctionCaseCPerW at 32");
QOR_THM_STATIC_ASSERT(offsetof(DeviceRecord, caseAirCPerW) == 40,
                      "DeviceRecord.caseAirCPerW at 40");

QOR_THM_STATIC_ASSERT(sizeof(BoardParameters) == 48, "BoardParameters is 48 bytes");
QOR_THM_STATIC_ASSERT(offsetof(BoardParameters, insulatorConductivityWPerMK) == 0, "at 0");
QOR_THM_STATIC_ASSERT(offsetof(BoardParameters, copperThicknessMm) == 8, "at 8");
QOR_THM_STATIC_ASSERT(offsetof(BoardParameters, emissivity) == 16, "at 16");
QOR_THM_STATIC_ASSERT(offsetof(BoardParameters, copperFractionPercent) == 24, "at 24");
QOR_THM_STATIC_ASSERT(offsetof(BoardParameters, orientation) == 32, "at 32");
QOR_THM_STATIC_ASSERT(offsetof(BoardParameters, boardThicknessMm) == 40, "at 40");

QOR_THM_STATIC_ASSERT(sizeof(CoolingParameters) == 16, "CoolingParameters is 16 bytes");
QOR_THM_STATIC_ASSERT(offsetof(CoolingParameters, direction) == 0, "at 0");
QOR_THM_STATIC_ASSERT(offsetof(CoolingParameters, airVelocityMPerS) == 4, "at 4");
QOR_THM_STATIC_ASSERT(offsetof(CoolingParameters, fanDistanceMm) == 12, "at 12");

QOR_THM_STATIC_ASSERT(sizeof(TemperatureParameters) == 52, "TemperatureParameters is 52 bytes");
QOR_THM_STATIC_ASSERT(offsetof(TemperatureParameters, stepUnits) == 0, "at 0");
QOR_THM_STATIC_ASSERT(offsetof(TemperatureParameters, ambientC) == 4, "at 4");
QOR_THM_STATIC_ASSERT(offsetof(TemperatureParameters, scaleMode) == 12, "at 12");
QOR_THM_STATIC_ASSERT(offsetof(TemperatureParameters, colourUpperC) == 16, "at 16");
QOR_THM_STATIC_ASSERT(offsetof(TemperatureParameters, colourLowerC) == 24, "at 24");
QOR_THM_STATIC_ASSERT(offsetof(TemperatureParameters, windowOn) == 32, "at 32");
QOR_THM_STATIC_ASSERT(offsetof(TemperatureParameters, windowUpperFiftieths) == 36, "at 36");
QOR_THM_STATIC_ASSERT(offsetof(TemperatureParameters, windowLowerFiftieths) == 44, "at 44");

QOR_THM_STATIC_ASSERT(sizeof(ComponentParameters) == 68, "ComponentParameters is 68 bytes");
QOR_THM_STATIC_ASSERT(offsetof(ComponentParameters, packageType) == 0, "at 0");
QOR_THM_STATIC_ASSERT(offsetof(ComponentParameters, minPowerW) == 4, "at 4");
QOR_THM_STATIC_ASSERT(offsetof(ComponentParameters, maxPowerW) == 12, "at 12");
QOR_THM_STATIC_ASSERT(offsetof(ComponentParameters, junctionCaseCPerW) == 20, "at 20");
QOR_THM_STATIC_ASSERT(offsetof(ComponentParameters, caseAirCPerW) == 28, "at 28");
QOR_THM_STATIC_ASSERT(offsetof(ComponentParameters, dutyCyclePercent) == 36, "at 36");
QOR_THM_STATIC_ASSERT(offsetof(ComponentParameters, fanSpeed) == 40, "at 40");
QOR_THM_STATIC_ASSERT(offsetof(ComponentParameters, heatsinkCPerW) == 48, "at 48");
QOR_THM_STATIC_ASSERT(offsetof(ComponentParameters, interfaceCPerW) == 56, "at 56");
QOR_THM_STATIC_ASSERT(offsetof(ComponentParameters, fanOn) == 64, "at 64");
QOR_THM_STATIC_ASSERT(offsetof(ComponentParameters, heatsinkOn) == 65, "at 65");
QOR_THM_STATIC_ASSERT(offsetof(ComponentParameters, interfaceOn) == 66, "at 66");
QOR_THM_STATIC_ASSERT(offsetof(ComponentParameters, unused) == 67, "at 67");

/* Package type codes: a byte in DeviceRecord, an int32 in component parameters. The codes 0 to 6
 * are older codes; 10 to 54 are the current ones. Unknown package names compile to 0. */
typedef enum PackageTypeCode {
    THM_PKG_C0 = 0,
    THM_PKG_C1 = 1,
    THM_PKG_C2 = 2,
    THM_PKG_C3 = 3,
    THM_PKG_C4 = 4,
    THM_PKG_C5 = 5,
    THM_PKG_C6 = 6,
    THM_PKG_CCC = 10, /* chip carrier ceramic */
    THM_PKG_CCM = 11,
    THM_PKG_CCP = 12,
    THM_PKG_CYC = 13, /* cylindrical */
    THM_PKG_CYM = 14,
    THM_PKG_CYP = 15,
    THM_PKG_DBC = 16, /* disk button */
    THM_PKG_DBM = 17,
    THM_PKG_DBP = 18,
    THM_PKG_BGC = 19, /* ball grid array ceramic */
    THM_PKG_CPM = 20, /* clamped package */
    THM_PKG_CPP = 21,
    THM_PKG_BGP = 22, /* ball grid array plastic */
    THM_PKG_FMM = 23, /* flange mount */
    THM_PKG_FMP = 24,
    THM_PKG_FOC = 25, /* fiber optic */
    THM_PKG_FOM = 26,
    THM_PKG_FOP = 27,
    THM_PKG_FPC = 28, /* flatpack (SMD) */
    THM_PKG_FPM = 29,
    THM_PKG_FPP = 30,
    THM_PKG_GAC = 31, /* grid array (PGA) */
    THM_PKG_GAM = 32,
    THM_PKG_GAP = 33,
    THM_PKG_SIPC = 34, /* single in-line */
    THM_PKG_SIPM = 35,
    THM_PKG_SIPP = 36,
    THM_PKG_DIPC = 37, /* dual in-line */
    THM_PKG_DIPM = 38,
    THM_PKG_DIPP = 39,
    THM_PKG_LFC = 40, /* long form (2 pins) */
    THM_PKG_LFM = 41,
    THM_PKG_LFP = 42,
    THM_PKG_PFC = 43, /* press fit */
    THM_PKG_PFM = 44,
    THM_PKG_PFP = 45,
    THM_PKG_MPC = 46, /* post / stud mount */
    THM_PKG_MPM = 47,
    THM_PKG_MPP = 48,
    THM_PKG_SOC = 49, /* small outline */
    THM_PKG_SOM = 50,
    THM_PKG_SOP = 51,
    THM_PKG_SSC = 52, /* special shape */
    THM_PKG_SSM = 53,
    THM_PKG_SSP = 54
} PackageTypeCode;

/* Result codes of the library calls (THM_L_). */
enum {
    THM_LIB_OK = 0,
    THM_LIB_NO_MEMORY = 1,      /* allocating the device table failed */
    THM_LIB_LOCK_FAILED = 2,    /* locking the device table failed */
    THM_LIB_FILE_EXISTS = 1000, /* the file already exists */
    THM_LIB_NO_FILE = 1001,     /* no name given, or the file does not exist */
    THM_LIB_TOO_MANY_FILES = 1002,
    THM_LIB_ACCESS_DENIED = 1003,
    THM_LIB_BAD_HANDLE = 1005,
    THM_LIB_NOT_A_LIBRARY = 1006, /* header short or different, count bad, table short */
    THM_LIB_BAD_VERSION = 1007,   /* version is not 1.1 */
    THM_LIB_ALREADY_SELECTED = 1008,
    THM_LIB_SHORT_WRITE = 1009,
    THM_LIB_BAD_DEVICE_NAME = 1010, /* device name empty or already present */
    THM_LIB_FULL = 1011,
    THM_LIB_RUNTIME_ERROR = 1100 /* plus the system's error number */
};

/* Result codes of the compiler calls (THM_C_). */
enum {
    THM_COMPILE_LINE_DONE = 0,  /* a device was added or a line skipped */
    THM_COMPILE_SHORT_LINE = 1, /* a line with fewer than six fields */
    THM_COMPILE_NO_SOURCE = 2000,
    THM_COMPILE_NO_MEMORY = 2001,
    THM_COMPILE_END = 2002 /* end of the source reached and the library written */
};

/* Result codes of the library-set calls (THM_S_). */
enum {
    THM_SET_OK = 0,
    THM_SET_ALREADY_BEGUN = 3000,
    THM_SET_NO_MEMORY = 3001,
    THM_SET_BAD_NAME_OR_FULL = 3002,
    THM_SET_NAME_PRESENT = 3003,
    THM_SET_NOT_BEGUN = 3004,    /* add or save without a begun set */
    THM_SET_PROFILE_WRITE = 3005 /* the profile file could not be written */
};

/* Engine state, errors and memory. */
QOR_API int32_t THM_A_ErrorCode(void);
QOR_API int32_t THM_A_ErrorFunc(void);
QOR_API int32_t THM_A_UsedMemory(void);    /* kilobytes, rounded up */
QOR_API int32_t THM_A_DeviceStrings(void); /* kilobytes of device names, rounded up */
QOR_API void THM_A_DeleteDataBase(void);

/* The board model: loading from the open design, raster, analysis. Return 1, or 0 with
 * THM_A_ErrorCode and THM_A_ErrorFunc set. */
QOR_API int32_t THM_A_Qor_LoadDataBase(const char* profileFile);
QOR_API int32_t THM_A_BoardShapeSet(void);
QOR_API int32_t THM_A_AnalyseBoard(void);
QOR_API void THM_A_GetBoardSize(int32_t* left, int32_t* bottom, int32_t* right, int32_t* top);
QOR_API int32_t THM_A_GetBoardDimentions(int32_t* width, int32_t* height); /* returns height */

/* Parameters. */
QOR_API void THM_A_GetBoardParameters(BoardParameters* parameters);
QOR_API void THM_A_SetBoardParameters(const BoardParameters* parameters);
QOR_API void THM_A_GetCoolingParameters(CoolingParameters* parameters);
QOR_API void THM_A_SetCoolingParameters(const CoolingParameters* parameters);
QOR_API void THM_A_GetTemperatureParameters(TemperatureParameters* parameters);
QOR_API void THM_A_SetTemperatureParameters(const TemperatureParameters* parameters);

/* Components, by database component index. */
QOR_API int32_t THM_A_Components(void);
QOR_API void THM_A_ComponentGet(int32_t index, ComponentParameters* parameters);
QOR_API void THM_A_ComponentSet(int32_t index, const ComponentParameters* parameters);
QOR_API int32_t THM_A_LLComponentFirst(int32_t* known, int32_t* changed);
QOR_API int32_t THM_A_LLComponentNext(int32_t* known, int32_t* changed);
QOR_API int32_t THM_A_ComponentInsidePosition(int32_t x, int32_t y); /* slot number, 0 = none */

/* Temperatures at a point of the board. */
QOR_API int32_t THM_A_GetTemp(int32_t x, int32_t y, double* cellC, int32_t* index, double* caseC,
                              double* junctionC);
QOR_API int32_t THM_A_TemperatureGet(int32_t x, int32_t y, int32_t* index, double* temperatureC,
                                     double* junctionC);

/* Drawing through the kernel's current context. */
QOR_API void THM_A_SetColorTable(const int32_t* colours16);
QOR_API void THM_A_SetITDensity(int32_t densityFiftieths);
QOR_API int32_t THM_A_GetITDensity(void);
QOR_API void THM_A_DisplayBoard(void);
QOR_API void THM_A_DisplayComponents(void);
QOR_API void THM_A_DisplayBoardComponents(void);
QOR_API void THM_A_DisplayIsotherms(void);
QOR_API int32_t THM_A_ColorTempMin(void);  /* fiftieths of a degree */
QOR_API int32_t THM_A_ColorTempGrid(void); /* fiftieths of a degree per colour */

/* The analysis parameters of the design, kept as its named record "THERMO_C". */
QOR_API int32_t THM_A_SaveParameters(void);
QOR_API int32_t THM_A_LoadParameters(void);

/* The selected device library. */
QOR_API int32_t THM_L_LibraryCreate(const char* path);
QOR_API int32_t THM_L_LibrarySelect(const char* path);
QOR_API int32_t THM_L_LibraryClose(void);
QOR_API void THM_L_LibraryFree(void);
QOR_API int32_t THM_L_DeviceCreate(const char* name, DeviceRecord* record);
QOR_API int32_t THM_L_DeviceChange(const char* name, const DeviceRecord* record);
QOR_API void THM_L_DeviceDelete(const char* name);
QOR_API int32_t THM_L_DeviceSearch(const char* name, DeviceRecord* record);
QOR_API int32_t THM_L_DeviceGetFirst(char* name17);
QOR_API int32_t THM_L_DeviceGetNext(char* name17);

/* Device lookups over the library set, or in one library. */
QOR_API int32_t THM_G_GetDeviceParameters(const char* name, DeviceRecord* record);
QOR_API int32_t THM_G_GetDeviceParametersLib(const char* name, const char* libraryPath,
                                             DeviceRecord* record);

/* The library compiler, one source line per THM_C_DataCompile call. */
QOR_API int32_t THM_C_DataCreate(const char* sourcePath, const char* libraryName);
QOR_API int32_t THM_C_DataCompile(void);
QOR_API int32_t THM_C_DataClose(void);

/* The set of active libraries, kept in the profile file's section "Library". */
QOR_API int32_t THM_S_Begin(void);
QOR_API void THM_S_End(void);
QOR_API int32_t THM_S_Save(void);
QOR_API int32_t THM_S_Add(const char* name);
QOR_API void THM_S_Delete(char* name);
QOR_API int32_t THM_S_GetFirst(char* name16);
QOR_API int32_t THM_S_GetNext(char* name16);

#ifdef __cplusplus
}
#endif

#undef QOR_THM_STATIC_ASSERT

#endif /* QORTHM32_H */
