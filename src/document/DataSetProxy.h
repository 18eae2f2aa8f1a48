#pragma once

#include "document/AutoLock.h"
#include "document/DocumentDataSet.h"

#include <memory>

namespace ombrix::document {

// Access to the data set with its lock held for the proxy's lifetime: the lock
// lives in a shared pointer, so it is released when the last copy goes. The
// write kind is a proxy of DocumentDataSet, the read-only kind of a const one.
template <typename DataSet> class BasicDataSetProxy {
public:
    explicit BasicDataSetProxy(DataSet& dataSet)
        : lock_(std::make_shared<AutoLock>(dataSet.criticalSection)), dataSet_(&dataSet) {}

    DataSet& operator*() const { return *dataSet_; }
    DataSet* operator->() const { return dataSet_; }

private:
    std::shared_ptr<AutoLock> lock_;
    DataSet* dataSet_;
};

using DataSetProxy = BasicDataSetProxy<DocumentDataSet>;
using ReadOnlyDataSetProxy = BasicDataSetProxy<const DocumentDataSet>;

} // namespace ombrix::document
