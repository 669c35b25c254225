// A fixed IOrvPluginUSM for tests of the classes.
#pragma once

#include "orv/orv_option.hpp"

class FakeUSM : public IOrvPluginUSM {
 public:
  void set_parameters(int32_t, const OrvUSMParameters*) override {}
  void release() override {}
  int32_t security_model() const override { return 2; }
  const char* user_name() const override { return user_; }
  int32_t security_level() const override { return 1; }
  int32_t auth_protocol() const override { return 2; }
  int32_t priv_protocol() const override { return 0; }
  const char* auth_pass_phrase() const override { return auth_; }
  const char* priv_pass_phrase() const override { return priv_; }
  const char* context_name() const override { return context_; }

 private:
  char user_[16] = "tester";
  char auth_[16] = "auth-pass";
  char priv_[16] = "priv-pass";
  char context_[16] = "ctx";
};
