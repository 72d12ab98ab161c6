#pragma once

namespace kora {

// What an export tells while it runs: the number of companies it is about to
// export, then its running count after each company.
class ExportProgress
{
public:
    virtual ~ExportProgress() = default;
    virtual void starting(long long companies) = 0;
    virtual void counted(long long count) = 0;
};

} // namespace kora
