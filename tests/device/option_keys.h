// Every option key, grouped by the getter that answers it and by whether the
// tray index applies; the store's and the exports' tests walk the same lists.
#pragma once

namespace orv::testing {

inline const char* const kBooleanKeys[] = {"Scanner",      "Copier",    "HardDisk",  "RamDisk",
                                    "DuplexModule", "InTrayMSI", "InTrayEx1", "InTrayEx2"};
inline const char* const kScalarIntegerKeys[] = {
    "MemorySizeInKByte",      "MemorySizeInMByte",      "NumberOfInputTray",
    "PrinterRomVersionMajor", "PrinterRomVersionMinor", "PrinterRomVersionRevision",
    "UserPromptSetting",      "MinPasswordLength"};
inline const char* const kTrayIntegerKeys[] = {"InputTrayIndex",
                                        "InputTrayType",
                                        "InputTrayMaxCapacityInSheets",
                                        "InputTrayCurrentLevelInPercent",
                                        "InputTrayMediaSize",
                                        "InputTrayMediaDirection",
                                        "InputTrayMediaDimFeedDirChosen",
                                        "InputTrayMediaDimXFeedDirChosen"};
inline const char* const kScalarTextKeys[] = {"PrinterRomVersion", "SysName", "NetWareSAPUnitName"};
inline const char* const kTrayTextKeys[] = {"InputTrayName", "InputTrayDescription",
                                     "InputTrayMediaType"};

}  // namespace orv::testing
