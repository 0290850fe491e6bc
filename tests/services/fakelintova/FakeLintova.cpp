// A conversion library that lacks the "BIG5toGB" entry.
extern "C" __attribute__((visibility("default"))) const char* GBtoBIG5(const char* text) {
  return text;
}
