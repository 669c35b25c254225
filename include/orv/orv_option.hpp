// The exported option classes of liborv.so:
// COrvDevCommOption, the option store of an opened printer, and
// COrvHarrowOption, its device-family class (the supported-device check).
// Also the SNMPv3 settings interface IOrvPluginUSM that Init reads.
//
// Most hosts never need this header: the C interface of orv/orv.h reaches
// every option through OrvGetOptionValue*. It serves hosts and tests that
// use the classes directly (for example with a negative index).
#pragma once

#include <cstdint>

#include "orv/orv.h"

// Protocol code (the values of the framework's IQelNetworkAddress::EProtocol,
// which converts to it implicitly): 0 unspecified, 1 IPv4, 2 IPX,
// 3 no transport, 4 IPv6.
using OrvProtocolCode = int32_t;

namespace orv::device {
struct OptionRequest;  // builds the store's SNMP requests from what Init recorded
}

// SNMPv3 settings of a handle. Slot order is part of the interface.
class ORV_EXPORT IOrvPluginUSM {
 public:
  // Restores the defaults, then takes the record's values that are set
  // (security model 0..2; non-empty texts; level and protocols 0..2).
  virtual void set_parameters(int32_t security_model, const OrvUSMParameters* params) = 0;  // 0
  virtual void release() = 0;                                                             // 1
  virtual int32_t security_model() const = 0;                                             // 2
  virtual const char* user_name() const = 0;                                              // 3
  virtual int32_t security_level() const = 0;                                             // 4
  virtual int32_t auth_protocol() const = 0;                                              // 5
  virtual int32_t priv_protocol() const = 0;                                              // 6
  virtual const char* auth_pass_phrase() const = 0;                                       // 7
  virtual const char* priv_pass_phrase() const = 0;                                       // 8
  virtual const char* context_name() const = 0;                                           // 9
  virtual ~IOrvPluginUSM() {}                                                             // 10
};

// The option store. Virtual slot order is part of the interface.
class ORV_EXPORT COrvDevCommOption {
 public:
  static constexpr int kMaxDevices = 50;
  static constexpr int kMaxInputTrays = 20;
  static constexpr int kMaxOutputTrays = 20;

  // hrDeviceTable row kept by the refresh.
  struct DeviceEntry {
    int32_t index;           // hrDeviceIndex
    int32_t status;          // hrDeviceStatus
    char description[64];
  };
  // prtInputTable row kept by the refresh (which derives size, direction
  // and percent from the row).
  struct InputTrayEntry {
    int32_t row;             // 1 for the first row of the walk
    int32_t type;            // prtInputType
    int32_t medium_size;     // medium size code, 10000 if unknown
    int32_t medium_direction;  // 1 unknown, 2, 3
    int32_t max_capacity;    // sheets, -1 if not counted in sheets
    int32_t level_percent;   // -1 if unknown
    int32_t dim_feed;        // prtInputMediaDimFeedDirChosen
    int32_t dim_xfeed;       // prtInputMediaDimXFeedDirChosen
    char name[64];
    char description[256];
    char media_type[256];
  };
  // prtOutputTable row kept by the refresh.
  struct OutputTrayEntry {
    int32_t row;
    int32_t type;            // prtOutputType
    int32_t offset_stacking;  // prtOutputOffsetStacking
  };

  COrvDevCommOption();
  COrvDevCommOption(const COrvDevCommOption& other);
  COrvDevCommOption& operator=(const COrvDevCommOption& other);

  // 0: deletes the object through the virtual destructor.
  virtual void destroy();
  // 1: every later SNMP request of the store carries this community.
  virtual void SetCommunityStr(const char* community);
  // 2: clears the values, then reads them from the printer; 0 or the first
  // failing step's code.
  virtual long refresh_options();
  // 3: records address, protocol, port, time-out, retries, maximum message
  // size and the USM settings; -2 for a protocol without an SNMP port.
  virtual long Init(OrvProtocolCode protocol, const char* address, IOrvPluginUSM* usm,
                    unsigned long timeout, unsigned long retries, unsigned long max_message_size);
  // 4: defined by the device-family class.
  virtual bool is_supported_OID(const char* oid) = 0;
  // 5-8: 0, -2 (null key or out), -5 (unknown key), -11 (tray index out of range).
  virtual long get_option(const char* key, const char** out, int index) const;
  virtual long get_option(const char* key, unsigned long* out, int index) const;
  virtual long get_option(const char* key, long* out, int index) const;
  virtual long get_option(const char* key, bool* out, int index) const;
  // 9
  virtual ~COrvDevCommOption();

 protected:
  // Refresh steps, run in this order by refresh_options.
  long refresh_system_attributes();
  long refresh_hrdevice_table();
  long refresh_input_tray_table();
  long refresh_output_tray_table();
  long refresh_memory_size();
  long refresh_prt_media_table();
  long refresh_netware_attributes();
  long refresh_vendor_hrdev_detail_setting();
  long parse_version_value();
  static void MediaDimensionToMediumSize(long dim_unit, long dim_feed, long dim_xfeed,
                                         long* medium_size, long* medium_direction);
  static void ConvertMediumLevel(long capacity_unit, long max_capacity, long current_level,
                                 long* out_max_capacity, long* out_percent);

  bool has_device_index(int index) const;
  // Clears what a refresh fills: texts, flags, numbers and the three lists.
  void initialize_data();

  // Request settings recorded by Init.
  OrvProtocolCode m_protocol;
  char m_address[64];
  uint16_t m_port;
  unsigned long m_timeout;
  unsigned long m_retries;
  unsigned long m_maxMessageSize;
  int32_t m_securityModel;
  const char* m_userName;          // the USM object's text
  int32_t m_securityLevel;
  int32_t m_authProtocol;
  int32_t m_privProtocol;
  const char* m_authPassPhrase;    // the USM object's text
  const char* m_privPassPhrase;    // the USM object's text
  const char* m_contextName;       // the USM object's text
  char m_community[256];
  bool m_communitySet;

  // Values filled by the refresh.
  char m_printerRomVersion[64];
  char m_sysName[256];
  char m_netwareSapUnitName[256];
  bool m_duplexModule;
  bool m_manualFeedTray;
  bool m_offsetStacking;
  bool m_device105Running;
  bool m_device108Running;
  int32_t m_memorySizeKB;
  int32_t m_romVersionMajor;
  int32_t m_romVersionMinor;
  int32_t m_romVersionRevision;
  int32_t m_minPasswordLength;
  int32_t m_userPromptSetting;
  int32_t m_deviceCount;
  DeviceEntry m_devices[kMaxDevices];
  int32_t m_inputTrayCount;
  InputTrayEntry m_inputTrays[kMaxInputTrays];
  int32_t m_outputTrayCount;
  OutputTrayEntry m_outputTrays[kMaxOutputTrays];

  friend struct orv::device::OptionRequest;
};

// The device-family class: the class of a handle's option object.
class ORV_EXPORT COrvHarrowOption : public COrvDevCommOption {
 public:
  COrvHarrowOption();
  COrvHarrowOption(const COrvHarrowOption& other);
  COrvHarrowOption& operator=(const COrvHarrowOption& other);
  ~COrvHarrowOption() override;

  // The base Init, then the supported-device check.
  long Init(OrvProtocolCode protocol, const char* address, IOrvPluginUSM* usm,
            unsigned long timeout, unsigned long retries, unsigned long max_message_size) override;
  // True for a null or empty text, or when the stored sysObjectID begins with it.
  bool is_supported_OID(const char* oid) override;
  using COrvDevCommOption::get_option;
  long get_option(const char* key, const char** out, int index) const override;
  long get_option(const char* key, long* out, int index) const override;
  long get_option(const char* key, bool* out, int index) const override;

 protected:
  // As last read by the check (which is const); empty at construction.
  mutable char m_sysObjectID[256];

 private:
  // 0 supported, -2 another printer or a mismatched address, else SNMP codes.
  long is_supported_device() const;
};
