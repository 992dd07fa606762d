// The error convention every procedure runs under: the procedure names itself once, then runs
// its steps through the scope. A step that fails is reported through ErrorSub under that name;
// when the user resumes, the procedure goes on with its next step, otherwise the program ends.
#pragma once

#include "platform/system/failure.h"

#include <exception>
#include <new>
#include <string>

namespace diagnostics {

class ErrorScope {
public:
    enum Form {
        Ordinary, // reported with the choice to resume
        Fatal, // reported as fatal: no choice
        Silenced, // dropped without a report
    };

    explicit ErrorScope(std::string procedureName, Form form = Ordinary)
        : procedureName_(std::move(procedureName))
        , form_(form)
    {
    }

    // Runs one step; what it was to compute keeps its previous value when it fails. True when
    // the step completed, false when it failed and the user chose to go on.
    template <class Step> bool Run(Step&& step)
    {
        try {
            step();
            return true;
        } catch (const platform::Failure& failure) {
            Handle(failure);
        } catch (const std::bad_alloc&) {
            Handle({ platform::kOutOfMemory, platform::kProgramSource,
                platform::DescriptionOf(platform::kOutOfMemory) });
        } catch (const std::exception& error) {
            Handle({ platform::kInternalError, platform::kProgramSource, error.what() });
        }
        return false;
    }

private:
    void Handle(const platform::Failure& failure);

    std::string procedureName_;
    Form form_;
};

}
