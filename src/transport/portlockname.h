#pragma once

#include <string>

namespace veltrin {

// The part of a lock's name that stands for a port: its identity with every byte outside
// letters, digits, '.', '_' and '-' written as %XX, so "pts/7" and "pts_7" never share a lock
// and no port name can reach outside the lock folder.
std::string PortLockKey(const std::string& portName);

// What a holder leaves in its lock ("1234 veltrin-cli"), and how a waiting run reads it back.
std::string HolderWord(long processId, const std::string& program);
bool ParseHolderWord(const std::string& word, long& processId, std::string& program);

}  // namespace veltrin
