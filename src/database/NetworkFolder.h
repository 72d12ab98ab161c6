#pragma once

#include <string>

namespace kora {

// Whether a folder lies on a network file system (NFS, SMB/CIFS, sshfs), where
// SQLite's write-ahead log is unsafe (it needs every user on one host) and
// byte-range locks are unreliable. KORA_NETWORK_FOLDER=1 in the environment
// treats every folder as one, for a network file system not recognised here;
// KORA_NETWORK_FOLDER=0 treats none as one.
class NetworkFolder
{
public:
    static bool holds(const std::string& path);

    // The decision from statfs's file-system type and, for FUSE, the type
    // /proc/self/mounts gives the mount ("fuse.sshfs").
    static bool isNetworkType(long fileSystemType, const std::string& mountType);
};

} // namespace kora
