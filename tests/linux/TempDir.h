#pragma once

#include <QTemporaryDir>

#include <string>

// A scratch directory, removed with the object.
class TempDir {
public:
    std::string path() const { return dir_.path().toStdString(); }
    std::string operator/(const std::string& name) const { return path() + "/" + name; }

private:
    QTemporaryDir dir_;
};
