// The entries of the socket function table, exported under the table's
// names. This file includes no system socket header: several names are the
// system's own, with other signatures.
#include "socket_module/posix_calls.h"

#define ORV_SOCK_EXPORT extern "C" __attribute__((visibility("default")))

using namespace orv::sockmod;

ORV_SOCK_EXPORT int WSAStartup(uint16_t version, void* data) { return start(version, data); }
ORV_SOCK_EXPORT int WSACleanup() { return cleanup(); }
ORV_SOCK_EXPORT int WSAGetLastError() { return last_error(); }
ORV_SOCK_EXPORT int socket(int family, int type, int protocol) {
  return open_socket(family, type, protocol);
}
ORV_SOCK_EXPORT int bind(int s, const void* name, int name_length) {
  return bind_socket(s, name, name_length);
}
ORV_SOCK_EXPORT uint16_t htons(uint16_t value) { return swap16(value); }
ORV_SOCK_EXPORT uint16_t ntohs(uint16_t value) { return swap16(value); }
ORV_SOCK_EXPORT int getsockname(int s, void* name, int* name_length) {
  return socket_name(s, name, name_length);
}
ORV_SOCK_EXPORT int gethostname(char* name, int name_length) {
  return host_name(name, name_length);
}
ORV_SOCK_EXPORT void* gethostbyname(const char* name) { return host_by_name(name); }
ORV_SOCK_EXPORT int getsockopt(int s, int level, int option, char* value, int* value_length) {
  return get_option(s, level, option, value, value_length);
}
ORV_SOCK_EXPORT int setsockopt(int s, int level, int option, const char* value,
                               int value_length) {
  return set_option(s, level, option, value, value_length);
}
ORV_SOCK_EXPORT uint32_t inet_addr(const char* text) { return parse_ipv4(text); }
ORV_SOCK_EXPORT char* inet_ntoa(uint32_t address) { return print_ipv4(address); }
#ifndef ORV_SOCK_WITHOUT_SENDTO
ORV_SOCK_EXPORT int sendto(int s, const char* buffer, int length, int flags, const void* to,
                           int to_length) {
  return send_to(s, buffer, length, flags, to, to_length);
}
#endif
ORV_SOCK_EXPORT int recvfrom(int s, char* buffer, int length, int flags, void* from,
                             int* from_length) {
  return receive_from(s, buffer, length, flags, from, from_length);
}
ORV_SOCK_EXPORT int WSARecvMsg(int s, void* message, int flags) {
  return receive_message(s, message, flags);
}
ORV_SOCK_EXPORT int select(int, void* read_set, void* write_set, void* error_set,
                           const void* timeout) {
  return select_sockets(read_set, write_set, error_set, timeout);
}
ORV_SOCK_EXPORT int closesocket(int s) { return close_socket(s); }
ORV_SOCK_EXPORT void* gethostbyaddr(const char* address, int length, int family) {
  return host_by_address(address, length, family);
}
ORV_SOCK_EXPORT void* getservbyname(const char* name, const char* protocol) {
  return service_by_name(name, protocol);
}
ORV_SOCK_EXPORT uint32_t htonl(uint32_t value) { return swap32(value); }
ORV_SOCK_EXPORT uint32_t ntohl(uint32_t value) { return swap32(value); }
ORV_SOCK_EXPORT int connect(int s, const void* name, int name_length) {
  return connect_socket(s, name, name_length);
}
ORV_SOCK_EXPORT int listen(int s, int backlog) { return listen_socket(s, backlog); }
ORV_SOCK_EXPORT int ioctlsocket(int s, long command, unsigned long* argument) {
  return control_socket(s, command, argument);
}
ORV_SOCK_EXPORT int recv(int s, char* buffer, int length, int flags) {
  return receive(s, buffer, length, flags);
}
ORV_SOCK_EXPORT int send(int s, const char* buffer, int length, int flags) {
  return orv::sockmod::send(s, buffer, length, flags);
}
ORV_SOCK_EXPORT int accept(int s, void* name, int* name_length) {
  return accept_socket(s, name, name_length);
}
ORV_SOCK_EXPORT int __WSAFDIsSet(int s, void* set) { return is_set(s, set); }
ORV_SOCK_EXPORT int WSAPoll(void* fds, uint32_t count, int timeout_ms) {
  return poll_sockets(fds, count, timeout_ms);
}
#ifndef ORV_SOCK_WITHOUT_GETADDRINFO
ORV_SOCK_EXPORT int getaddrinfo(const char* node, const char* service, const void* hints,
                                void** result) {
  return address_info(node, service, hints, result);
}
#endif
ORV_SOCK_EXPORT int getnameinfo(const void* address, uint32_t address_length, char* host,
                                uint32_t host_length, char* service, uint32_t service_length,
                                int flags) {
  return name_info(address, address_length, host, host_length, service, service_length, flags);
}
ORV_SOCK_EXPORT void freeaddrinfo(void* list) { free_address_info(list); }
