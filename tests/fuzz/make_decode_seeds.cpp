// Writes the decoder fuzzer's seed corpus into the folder given as argument:
// every message of the differential corpus as we encode it (byte-equal to
// Net-SNMP's), and cuts and one-byte changes of a few of them.
#include <cstdio>

#include "message_corpus.h"
#include "seed_folder.h"

int main(int argc, char** argv) {
  using namespace orv;
  using namespace orv::testing;
  SeedFolder folder;
  if (!folder.open(argc, argv)) return 2;
  auto save = [&](const Bytes& bytes) { return folder.save(bytes); };
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
  return folder.finish();
}
