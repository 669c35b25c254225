// The socket module's implementation of each exported entry. These functions
// see the system headers; socket_exports.cpp, which defines the exported
// names, must not, since those names are the system's own. Pointer arguments
// are untyped here for that reason; their types are those of
// net/socket_types.h.
#pragma once

#include <cstdint>

namespace orv::sockmod {

int start(uint16_t version, void* data);
int cleanup();
int last_error();

int open_socket(int family, int type, int protocol);
int bind_socket(int s, const void* name, int name_length);
int socket_name(int s, void* name, int* name_length);
int host_name(char* name, int name_length);
void* host_by_name(const char* name);
void* host_by_address(const char* address, int length, int family);
void* service_by_name(const char* name, const char* protocol);
int get_option(int s, int level, int option, char* value, int* value_length);
int set_option(int s, int level, int option, const char* value, int value_length);
uint32_t parse_ipv4(const char* text);
char* print_ipv4(uint32_t network_order_address);
int send_to(int s, const char* buffer, int length, int flags, const void* to, int to_length);
int receive_from(int s, char* buffer, int length, int flags, void* from, int* from_length);
int receive_message(int s, void* message, int flags);
int select_sockets(void* read_set, void* write_set, void* error_set, const void* timeout);
int poll_sockets(void* fds, uint32_t count, int timeout_ms);
int close_socket(int s);
int is_set(int s, void* set);
int connect_socket(int s, const void* name, int name_length);
int listen_socket(int s, int backlog);
int control_socket(int s, long command, unsigned long* argument);
int receive(int s, char* buffer, int length, int flags);
int send(int s, const char* buffer, int length, int flags);
int accept_socket(int s, void* name, int* name_length);
int address_info(const char* node, const char* service, const void* hints, void** result);
int name_info(const void* address, uint32_t address_length, char* host, uint32_t host_length,
              char* service, uint32_t service_length, int flags);
void free_address_info(void* list);

uint16_t swap16(uint16_t value);
uint32_t swap32(uint32_t value);

}  // namespace orv::sockmod
