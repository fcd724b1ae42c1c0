// What a program under test plays, heard from outside through ALSA.
//
// A program that start() starts gets an ALSA configuration of its own: the
// test environment's (ALSA_CONFIG_PATH, the null device) with the default
// device replaced by a file writer in front of a null device, so everything
// it plays is written into this capture's file; every other program keeps
// the null device. The file holds raw samples of whatever format Wine asks
// for (here 32-bit floats) and keeps growing with zeros, faster than real
// time, while nothing sounds: sound is judged by the non-zero bytes added,
// never by the file's length or by sample values.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "driver.h"

namespace e2e {

class AudioCapture {
 public:
  // Throws std::runtime_error when not run under Wine.
  AudioCapture();
  ~AudioCapture();
  AudioCapture(const AudioCapture&) = delete;
  AudioCapture& operator=(const AudioCapture&) = delete;

  // Starts the program (driver::Process::start's arguments) playing into
  // this capture.
  driver::Process start(const std::wstring& exePath, const std::wstring& args) const;

  // Whether sound is added within the timeout.
  bool waitForSound(DWORD timeoutMs);
  // Whether the sound stops within the timeout: nothing added for a quarter
  // of a second (what was played just before may still be on its way).
  bool waitForSilence(DWORD timeoutMs);
  // Whether nothing sounds for the whole time.
  bool staysSilent(DWORD ms);
  // The non-zero bytes captured so far.
  uint64_t soundBytes();

 private:
  void readAdded();

  std::string unixConfig_;
  std::wstring config_;  // Windows paths
  std::wstring samples_;
  uint64_t read_ = 0;
  uint64_t soundBytes_ = 0;
  ULONGLONG lastSound_ = 0;  // GetTickCount64 when sound was last read
};

}  // namespace e2e
