#include "settings/options_panel.h"

namespace tsukio {

void EnableDependentControls(OptionsPanel& p) {
  p.weekRule.enabled = p.showWeekNumber.checked;
  const bool delay = p.autoUpdate.checked;
  p.autoUpdateLabel.enabled = p.autoUpdateField.enabled = p.autoUpdateArrows.enabled = delay;
  const bool setting = p.setClock.checked;
  p.timeMethodLabel.enabled = p.ntpChoice.enabled = p.httpChoice.enabled = setting;
  const bool http = setting && p.httpSelected;
  const bool ntp = setting && !p.httpSelected;
  p.ntpLabel.enabled = p.ntpServerField.enabled = ntp;
  p.httpLabel.enabled = p.httpServerField.enabled = http;
  p.proxyLabel.enabled = p.proxyServerField.enabled = http;
}

}  // namespace tsukio
