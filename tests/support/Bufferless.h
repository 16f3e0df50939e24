#ifndef TESTS_SUPPORT_BUFFERLESS_H_
#define TESTS_SUPPORT_BUFFERLESS_H_

// Bufferless<String>: a TextString or PathString without a buffer, the state
// after Free. Every operation accepts such a string and says what it does
// with it; the tests that check this start from here.
template <typename String>
class Bufferless : public String {
 public:
  Bufferless() { this->Free(); }
};

#endif  // TESTS_SUPPORT_BUFFERLESS_H_
