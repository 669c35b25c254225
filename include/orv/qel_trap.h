/*
 * qel_trap.h: receiving SNMP traps with liborv.so. Includable from C99 and
 * from C++; every function has C linkage.
 *
 * A receiver listens on one UDP port for SNMPv1 Traps and SNMPv2c
 * notifications and InformRequests; an InformRequest is answered with a
 * Response (the same request-id and bindings) before it is delivered. Each
 * trap that arrives is decoded on the receive thread and handed to a second
 * thread, which calls every attached callback with it, in attach order. Up to 200 traps wait between the two threads; while
 * 200 wait, reception pauses and a burst waits in the socket's buffer (8 MB
 * where the process may ask for it); what does not fit is counted
 * (qel_trap_receiver_stats).
 *
 *   QelTrapReceiver* r = NULL;
 *   qel_trap_receiver_open(ORV_PROTOCOL_IPV4, 0, &r);   port 0: any free port
 *   qel_trap_receiver_attach(r, on_trap, my_context);
 *   qel_trap_receiver_start(r);
 *   ...
 *   qel_trap_receiver_close(r);                         no callback after this
 *
 * Result codes are those of orv.h: 0 success, negative failures (-2 invalid
 * argument, -3 out of memory), and the two below.
 */
#ifndef ORV_QEL_TRAP_H
#define ORV_QEL_TRAP_H

#include <stddef.h>
#include <stdint.h>

#include "orv/orv.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct QelTrapReceiver QelTrapReceiver;
typedef struct QelTrap QelTrap;

/* Called on the receiver's delivery thread. `trap` and every pointer its
 * accessors return are valid until the callback returns. A callback may
 * attach or detach (also itself); one detached during a delivery is not
 * called again, not even for the trap under way. */
typedef void (*QelTrapCallback)(const QelTrap* trap, void* context);

#define QEL_TRAP_ERR_PORT_IN_USE (-202) /* bound by another socket, or no such address */
#define QEL_TRAP_ERR_PORT_ACCESS (-206) /* the port needs privileges (below 1024) */

#define QEL_TRAP_VERSION_V1 0
#define QEL_TRAP_VERSION_V2C 1
#define QEL_TRAP_VERSION_V2C_INFORM 2 /* an SNMPv2c InformRequest, answered already */

/* A receiver bound to `port` (0: the system chooses; 162 needs privileges)
 * for `protocol` ORV_PROTOCOL_IPV4 (1) or ORV_PROTOCOL_IPV6 (5; IPv6 only,
 * so that an IPv4 receiver may have the same port), its threads ready but
 * not receiving yet. 0 with *out set; otherwise *out is
 * NULL: -2 for another protocol or a NULL out, -3, QEL_TRAP_ERR_PORT_IN_USE,
 * QEL_TRAP_ERR_PORT_ACCESS. */
ORV_EXPORT int32_t qel_trap_receiver_open(int32_t protocol, uint16_t port, QelTrapReceiver** out);
/* The bound port, or -2 for NULL. */
ORV_EXPORT int32_t qel_trap_receiver_port(const QelTrapReceiver* receiver);
/* Starts receiving; once only (-2 again or for NULL). */
ORV_EXPORT int32_t qel_trap_receiver_start(QelTrapReceiver* receiver);
/* Stops receiving, lets the traps already waiting reach the callbacks,
 * ends both threads and frees the receiver: 0 (also for NULL). No callback
 * runs after it returns; the callbacks still running meanwhile may use
 * the receiver. From inside a callback it cannot wait for its own thread:
 * -2, and the receiver stays open. */
ORV_EXPORT int32_t qel_trap_receiver_close(QelTrapReceiver* receiver);

/* Counts since the open: in *received the traps taken in for the callbacks
 * (those still waiting included), in *dropped the traps lost, dropped by
 * the system while the socket's buffer was full or by the receiver's own
 * queue. A trap that arrived is in one of the two once reception has
 * caught up. Either pointer may be NULL. 0, or -2 for a NULL receiver. */
ORV_EXPORT int32_t qel_trap_receiver_stats(QelTrapReceiver* receiver, uint64_t* received, uint64_t* dropped);

/* Appends (callback, context) to the callbacks. The same pair attached
 * twice is called twice per trap. -2 for a NULL receiver or callback.
 * Attach and detach from another thread wait until the trap being
 * delivered has reached every callback. */
ORV_EXPORT int32_t qel_trap_receiver_attach(QelTrapReceiver* receiver, QelTrapCallback callback,
                                            void* context);
/* Removes every entry of (callback, context); a pair that is not attached
 * is no error. Once it returns the pair is not called again. */
ORV_EXPORT int32_t qel_trap_receiver_detach(QelTrapReceiver* receiver, QelTrapCallback callback,
                                            void* context);

/* Accessors, valid during the callback. */
/* QEL_TRAP_VERSION_V1, QEL_TRAP_VERSION_V2C or QEL_TRAP_VERSION_V2C_INFORM
 * (-2 for NULL). */
ORV_EXPORT int32_t qel_trap_version(const QelTrap* trap);
/* The sender's address as text ("192.0.2.7", "fd00::7"). */
ORV_EXPORT const char* qel_trap_sender(const QelTrap* trap);
/* The trap's OID in dotted text, one OID for a trap whichever version
 * carried it (RFC 3584): SNMPv2c the value of snmpTrapOID.0; SNMPv1
 * generic-trap 0 to 5 as "1.3.6.1.6.3.1.1.5." followed by generic + 1
 * (coldStart is 1.3.6.1.6.3.1.1.5.1), generic 6 (enterpriseSpecific) as
 * the enterprise, then 0, then specific-trap. */
ORV_EXPORT const char* qel_trap_oid(const QelTrap* trap);
/* The community the trap came with. */
ORV_EXPORT const char* qel_trap_community(const QelTrap* trap);
/* When the receiver took the trap from its socket, in milliseconds since
 * 1970-01-01 00:00 UTC (the callback may run later; -2 for NULL). */
ORV_EXPORT int64_t qel_trap_arrival(const QelTrap* trap);
/* The time-stamp in TimeTicks (hundredths of a second): SNMPv1's
 * time-stamp field, SNMPv2c's sysUpTime.0. */
ORV_EXPORT uint32_t qel_trap_timestamp(const QelTrap* trap);
/* Every binding as it came; for SNMPv2c the first two are sysUpTime.0 and
 * snmpTrapOID.0; an SNMPv1 Trap's are followed by its agent-addr as
 * snmpTrapAddress.0 (1.3.6.1.6.3.18.1.3.0, IpAddress) and its enterprise
 * as snmpTrapEnterprise.0 (1.3.6.1.6.3.1.1.4.3.0, OID). */
ORV_EXPORT uint32_t qel_trap_binding_count(const QelTrap* trap);
/* Dotted text of the binding's name; NULL past the last binding. */
ORV_EXPORT const char* qel_trap_binding_oid(const QelTrap* trap, uint32_t index);
/* The value's BER tag: 0x02 Integer, 0x04 OctetString, 0x05 Null, 0x06
 * OID, 0x40 IpAddress, 0x41 Counter32, 0x42 Gauge32, 0x43 TimeTicks, 0x44
 * Opaque, 0x46 Counter64, 0x80 to 0x82 the exceptions; -2 past the last. */
ORV_EXPORT int32_t qel_trap_binding_type(const QelTrap* trap, uint32_t index);
/* The value as text: numbers in decimal (Counter64 too), OID dotted,
 * IpAddress dotted quad, OctetString and Opaque their bytes up to the
 * first NUL (use qel_trap_binding_bytes for binary contents), "" for Null
 * and the exceptions. NULL past the last binding. */
ORV_EXPORT const char* qel_trap_binding_text(const QelTrap* trap, uint32_t index);
/* The octets of an OctetString, Opaque or IpAddress (the OID's dotted text
 * for an OID), with their count in *length; NULL and 0 for other kinds and
 * past the last binding. */
ORV_EXPORT const uint8_t* qel_trap_binding_bytes(const QelTrap* trap, uint32_t index, size_t* length);

#ifdef __cplusplus
}
#endif

#endif /* ORV_QEL_TRAP_H */
