// The network half of COrvDeviceFinder: setting up the find-device object
// and turning the broadcast's answers into found devices.
#include <new>

#include "device/dev_comm_option.h"
#include "device/device_finder.h"
#include "device/option_request.h"
#include "result_codes.h"
#include "snmp/facade/find_device_snmp.h"
#include "snmp/facade/value_forms.h"
#include "snmp/message/pdu.h"
#include "snmp/message/snmp_packet.h"
#include "snmp/message/snmp_target.h"
#include "snmp/message/var_bind.h"
#include "snmp/message/var_bind_list.h"

namespace orv::device {
namespace {

// The answer's sysObjectID (its first binding) as text; empty without one.
void first_value_text(const IQesSnmpPacket* packet, char* out, std::size_t size) {
  out[0] = '\0';
  const IQesPdu* pdu = packet->pdu();
  const IQesVarBindList* list = pdu != nullptr ? pdu->var_bind_list() : nullptr;
  const IQesVarBind* binding = list != nullptr ? list->at(0) : nullptr;
  if (binding != nullptr) orv::facade::write_value_text(binding->value(), out, size);
}

const char* sender_text(const IQesSnmpPacket* packet) {
  const IQesSnmpTarget* target = packet->target();
  const IQelNetworkAddress* address = target != nullptr ? target->address() : nullptr;
  return address != nullptr ? address->text() : nullptr;
}

}  // namespace

int32_t COrvDeviceFinder::prepare(int32_t protocol, const char* destination, IOrvPluginUSM* usm,
                                  uint32_t timeout_ms, uint32_t retries,
                                  uint32_t max_message_size) {
  release_find_device();
  discard_results();

  int32_t rc = kOk;
  m_pFindDeviceSnmp = qel_create_find_device_snmp(&rc);
  if (m_pFindDeviceSnmp == nullptr) {
    if (rc == kOk) rc = kErrNoMemory;
    return static_cast<int32_t>(log_failed_step("qel_create_find_device_snmp()", rc));
  }

  int32_t detected = 0;
  rc = m_pFindDeviceSnmp->get_protocol(destination, &detected);
  if (rc != kOk) return rc;
  if (detected != protocol) return kErrInvalidArg;

  if (usm == nullptr) return kErrInvalidArg;
  const QelSecurityParams security{usm->user_name(),        usm->security_level(),
                                   usm->auth_protocol(),    usm->priv_protocol(),
                                   usm->auth_pass_phrase(), usm->priv_pass_phrase(),
                                   usm->context_name()};
  const uint16_t port = snmp_port_for(protocol) == kSnmpPortIp ? kSnmpPortIp : kSnmpPortIpx;

  if (m_findCommunity[0] != '\0') m_pFindDeviceSnmp->set_community(m_findCommunity);
  rc = m_pFindDeviceSnmp->init(destination, protocol, port, usm->security_model(), &security,
                               timeout_ms, retries, max_message_size);
  if (rc != kOk) return static_cast<int32_t>(log_failed_step("m_pFindDeviceSnmp->init()", rc));

  m_pResults = new (std::nothrow) ResultList{0, 0, nullptr};
  return m_pResults != nullptr ? kOk : kErrNoMemory;
}

int32_t COrvDeviceFinder::broadcast(const ModelRow* model_table, int32_t* count) {
  if (count != nullptr) *count = 0;
  m_pModelTable = model_table;
  if (m_pFindDeviceSnmp == nullptr || m_pResults == nullptr) return kErrInvalidArg;

  int32_t rc = m_pFindDeviceSnmp->add_oid_string(kSysObjectIdOid);
  if (rc != kOk) {
    return static_cast<int32_t>(log_failed_step("m_pFindDeviceSnmp->add_oid_string()", rc));
  }
  IQesSnmpPacketList* raw = nullptr;
  rc = m_pFindDeviceSnmp->send_broad_cast(&raw);
  if (rc != kOk) {
    return static_cast<int32_t>(log_failed_step("m_pFindDeviceSnmp->send_broad_cast()", rc));
  }
  SnmpPacketListPtr answers(raw);
  if (answers) {
    IQesListPosition* position = answers->new_position(&rc);
    if (position == nullptr) return rc != kOk ? rc : kErrNoMemory;
    for (const IQesSnmpPacket* packet = answers->element(position); packet != nullptr;
         packet = answers->element(position)) {
      char sys_object_id[kGetDataTextSize];
      first_value_text(packet, sys_object_id, sizeof sys_object_id);
      accept_answer(sender_text(packet), sys_object_id);
      if (answers->advance(position) != kOk) break;
    }
    answers->release_position(position);
  }
  if (count != nullptr) *count = m_pResults->count;
  return kOk;
}

}  // namespace orv::device
