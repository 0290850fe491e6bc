// A small library for the dynamic-library tests.
extern "C" int SampleAnswer() {
  return 42;
}
