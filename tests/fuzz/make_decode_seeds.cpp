// Writes the decoder fuzzer's seed corpus into the folder given as argument:
// every message of the differential corpus as we encode it (byte-equal to
// Net-SNMP's), and cuts and one-byte changes of a few of them.
#include <cstdio>
#include <fstream>
#include <string>

#include "message_corpus.h"

int main(int argc, char** argv) {
  using namespace orv;
  using namespace orv::testing;
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  int written = 0;
  auto save = [&](const Bytes& bytes) {
    std::ofstream out(dir + "/seed-" + std::to_string(written++), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
  };
  for (const MessageSpec& m : corpus()) {
    SnmpPacketPtr packet = our_packet_of(m);
    RawPacketPtr raw(qes_create_raw_packet(65536));
    if (CQesCodecService::instance().encode_packet(packet.get(), raw.get()) != kOk) {
      std::fprintf(stderr, "cannot encode a corpus message\n");
      return 1;
    }
    Bytes bytes = bytes_of(raw.get());
    if (!save(bytes)) return 1;
    if (bytes.size() < 200) {
      save(Bytes(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(bytes.size() / 2)));
      Bytes flipped = bytes;
      flipped[1] ^= 0x80;  // the outer length in the long form
      save(flipped);
    }
  }
  std::printf("%d seeds in %s\n", written, dir.c_str());
  return 0;
}
