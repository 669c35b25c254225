// COrvDevCommOption: the option store and the request settings recorded by
// Init. The refresh and its steps live in option_refresh.cpp.
#include "device/dev_comm_option.h"

#include <cstring>

#include "device/text_copy.h"

using orv::device::copy_text;

namespace {

bool key_is(const char* key, const char* name) { return std::strcmp(key, name) == 0; }

}  // namespace

COrvDevCommOption::COrvDevCommOption()
    : m_protocol(0),
      m_address{},
      m_port(0),
      m_timeout(0),
      m_retries(0),
      m_maxMessageSize(0),
      m_securityModel(0),
      m_userName(nullptr),
      m_securityLevel(0),
      m_authProtocol(0),
      m_privProtocol(0),
      m_authPassPhrase(nullptr),
      m_privPassPhrase(nullptr),
      m_contextName(nullptr),
      m_community{},
      m_communitySet(false) {
  initialize_data();
}

// Every field, the USM text pointers included (the copy refers to the same
// USM texts).
COrvDevCommOption::COrvDevCommOption(const COrvDevCommOption& other) = default;
COrvDevCommOption& COrvDevCommOption::operator=(const COrvDevCommOption& other) = default;

// Releases nothing: the USM texts belong to the USM object.
COrvDevCommOption::~COrvDevCommOption() = default;

void COrvDevCommOption::destroy() { delete this; }

void COrvDevCommOption::SetCommunityStr(const char* community) {
  copy_text(m_community, community);
  m_communitySet = true;
}

long COrvDevCommOption::Init(OrvProtocolCode protocol, const char* address, IOrvPluginUSM* usm,
                             unsigned long timeout, unsigned long retries,
                             unsigned long max_message_size) {
  copy_text(m_address, address);
  m_protocol = protocol;
  const uint16_t port = orv::device::snmp_port_for(protocol);
  if (port == 0) return orv::kErrInvalidArg;  // address and protocol stay stored
  m_port = port;
  m_timeout = timeout;
  m_retries = retries;
  m_maxMessageSize = max_message_size;
  if (usm == nullptr) return orv::kErrInvalidArg;  // direct class use only
  m_securityModel = usm->security_model();
  m_securityLevel = usm->security_level();
  m_authProtocol = usm->auth_protocol();
  m_privProtocol = usm->priv_protocol();
  m_userName = usm->user_name();
  m_authPassPhrase = usm->auth_pass_phrase();
  m_privPassPhrase = usm->priv_pass_phrase();
  m_contextName = usm->context_name();
  return orv::kOk;
}

long COrvDevCommOption::get_option(const char* key, const char** out, int index) const {
  if (key == nullptr || out == nullptr) return orv::kErrInvalidArg;
  if (key_is(key, "PrinterRomVersion")) {
    *out = m_printerRomVersion;
    return orv::kOk;
  }
  if (key_is(key, "SysName")) {
    *out = m_sysName;
    return orv::kOk;
  }
  if (key_is(key, "NetWareSAPUnitName")) {
    *out = m_netwareSapUnitName;
    return orv::kOk;
  }
  const bool name = key_is(key, "InputTrayName");
  const bool description = key_is(key, "InputTrayDescription");
  const bool media_type = key_is(key, "InputTrayMediaType");
  if (!name && !description && !media_type) return orv::kErrNotSupported;
  if (index < 0 || index >= m_inputTrayCount) return orv::kErrIndexRange;
  const InputTrayEntry& tray = m_inputTrays[index];
  *out = name ? tray.name : description ? tray.description : tray.media_type;
  return orv::kOk;
}

long COrvDevCommOption::get_option(const char* key, unsigned long* out, int) const {
  if (key == nullptr || out == nullptr) return orv::kErrInvalidArg;
  return orv::kErrNotSupported;  // no unsigned key exists
}

long COrvDevCommOption::get_option(const char* key, long* out, int index) const {
  if (key == nullptr || out == nullptr) return orv::kErrInvalidArg;

  struct Scalar {
    const char* key;
    int32_t COrvDevCommOption::*field;
  };
  static constexpr Scalar kScalars[] = {
      {"MemorySizeInKByte", &COrvDevCommOption::m_memorySizeKB},
      {"NumberOfInputTray", &COrvDevCommOption::m_inputTrayCount},
      {"PrinterRomVersionMajor", &COrvDevCommOption::m_romVersionMajor},
      {"PrinterRomVersionMinor", &COrvDevCommOption::m_romVersionMinor},
      {"PrinterRomVersionRevision", &COrvDevCommOption::m_romVersionRevision},
      {"UserPromptSetting", &COrvDevCommOption::m_userPromptSetting},
      {"MinPasswordLength", &COrvDevCommOption::m_minPasswordLength},
  };
  for (const Scalar& s : kScalars) {
    if (key_is(key, s.key)) {
      *out = this->*s.field;
      return orv::kOk;
    }
  }
  if (key_is(key, "MemorySizeInMByte")) {
    *out = m_memorySizeKB / 1024;  // computed at each query, truncated toward zero
    return orv::kOk;
  }

  struct TrayValue {
    const char* key;
    int32_t InputTrayEntry::*field;
  };
  static constexpr TrayValue kTrayValues[] = {
      {"InputTrayIndex", &InputTrayEntry::row},
      {"InputTrayType", &InputTrayEntry::type},
      {"InputTrayMaxCapacityInSheets", &InputTrayEntry::max_capacity},
      {"InputTrayCurrentLevelInPercent", &InputTrayEntry::level_percent},
      {"InputTrayMediaSize", &InputTrayEntry::medium_size},
      {"InputTrayMediaDirection", &InputTrayEntry::medium_direction},
      {"InputTrayMediaDimFeedDirChosen", &InputTrayEntry::dim_feed},
      {"InputTrayMediaDimXFeedDirChosen", &InputTrayEntry::dim_xfeed},
  };
  for (const TrayValue& t : kTrayValues) {
    if (key_is(key, t.key)) {
      if (index < 0 || index >= m_inputTrayCount) return orv::kErrIndexRange;
      *out = m_inputTrays[index].*t.field;
      return orv::kOk;
    }
  }
  return orv::kErrNotSupported;
}

long COrvDevCommOption::get_option(const char* key, bool* out, int) const {
  if (key == nullptr || out == nullptr) return orv::kErrInvalidArg;

  struct DeviceKey {
    const char* key;
    int device_index;
  };
  static constexpr DeviceKey kDeviceKeys[] = {
      {"Scanner", 102}, {"Copier", 103},    {"HardDisk", 11},
      {"RamDisk", 3},   {"InTrayEx1", 110}, {"InTrayEx2", 116},
  };
  for (const DeviceKey& d : kDeviceKeys) {
    if (key_is(key, d.key)) {
      *out = has_device_index(d.device_index);
      return orv::kOk;
    }
  }
  if (key_is(key, "DuplexModule")) {
    *out = m_duplexModule;
    return orv::kOk;
  }
  if (key_is(key, "InTrayMSI")) {
    *out = m_manualFeedTray;
    return orv::kOk;
  }
  return orv::kErrNotSupported;
}

bool COrvDevCommOption::has_device_index(int index) const {
  for (int32_t i = 0; i < m_deviceCount && i < kMaxDevices; ++i) {
    if (m_devices[i].index == index) return true;
  }
  return false;
}

void COrvDevCommOption::initialize_data() {
  std::memset(m_printerRomVersion, 0, sizeof m_printerRomVersion);
  std::memset(m_sysName, 0, sizeof m_sysName);
  std::memset(m_netwareSapUnitName, 0, sizeof m_netwareSapUnitName);
  m_duplexModule = false;
  m_manualFeedTray = false;
  m_offsetStacking = false;
  m_device105Running = false;
  m_device108Running = false;
  m_memorySizeKB = 0;
  m_romVersionMajor = 0;
  m_romVersionMinor = 0;
  m_romVersionRevision = 0;
  m_minPasswordLength = 0;
  m_userPromptSetting = 0;
  m_deviceCount = 0;
  std::memset(m_devices, 0, sizeof m_devices);
  m_inputTrayCount = 0;
  std::memset(m_inputTrays, 0, sizeof m_inputTrays);
  m_outputTrayCount = 0;
  std::memset(m_outputTrays, 0, sizeof m_outputTrays);
}
