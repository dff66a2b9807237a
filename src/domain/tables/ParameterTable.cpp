#include "domain/tables/ParameterTable.h"

namespace tess {

const std::shared_ptr<const ParameterDefs>& noParameterDefs()
{
    static const std::shared_ptr<const ParameterDefs> none = std::make_shared<const ParameterDefs>();
    return none;
}

} // namespace tess
