#pragma once

#include <memory>
#include <string>

namespace device {

// Numbered as the platform numbered them.
enum class PrintOutputType {
    General = 0,
    Photo = 1,
    Grayscale = 2,
};

enum class PrintOrientation {
    Portrait = 0,
    Landscape = 1,
};

// What a print job is: its name, the kind of output and the paper's orientation.
class PrintInfo {
public:
    static std::shared_ptr<PrintInfo> create() { return std::make_shared<PrintInfo>(); }

    const std::string& jobName() const { return m_jobName; }
    void setJobName(std::string name) { m_jobName = std::move(name); }
    PrintOutputType outputType() const { return m_outputType; }
    void setOutputType(PrintOutputType type) { m_outputType = type; }
    PrintOrientation orientation() const { return m_orientation; }
    void setOrientation(PrintOrientation orientation) { m_orientation = orientation; }

private:
    std::string m_jobName;
    PrintOutputType m_outputType = PrintOutputType::General;
    PrintOrientation m_orientation = PrintOrientation::Portrait;
};

}
