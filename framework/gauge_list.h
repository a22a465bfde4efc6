// Every gauge of the module, in the order of the host's gauge list.
#pragma once

#include "framework/gauge_model.h"

extern GaugeDefinition shutDownGauge;  // Shut_Down
extern GaugeDefinition registrationGauge;  // Registration
extern GaugeDefinition kneeboardToggleGauge;  // Kneeboard_Toggle
extern GaugeDefinition atcToggleGauge;  // ATC_Toggle
extern GaugeDefinition mapToggleGauge;  // Map_Toggle
extern GaugeDefinition invisibleToggleGauge;  // Invisible_Toggle
extern GaugeDefinition closeSubpanelGauge;  // Close_Subpanel
extern GaugeDefinition radiosToggleGauge;  // Radios_Toggle
extern GaugeDefinition landingViewToggleGauge;  // Landing_View_Toggle
extern GaugeDefinition gpsToggleGauge;  // GPS_Toggle
extern GaugeDefinition throttleToggleGauge;  // Throttle_Toggle
extern GaugeDefinition compassToggleGauge;  // Compass_Toggle
extern GaugeDefinition radioAdfGauge;  // Radio_ADF_EZ6
extern GaugeDefinition radioXpdrGauge;  // Radio_XPDR_FUG25A6
extern GaugeDefinition radioComGauge;  // Radio_COM_SK10
extern GaugeDefinition radioNavGauge;  // Radio_NAV_E10K
extern GaugeDefinition airspeedGauge;  // Airspeed
extern GaugeDefinition artificialHorizonGauge;  // Artificial_Horizon
extern GaugeDefinition verticalSpeedGauge;  // Vertical_Speed
extern GaugeDefinition directionalGyroGauge;  // Directionnal_Gyro
extern GaugeDefinition altimeterGauge;  // Altimeter
extern GaugeDefinition turnCoordinatorGauge;  // Turn_Coordinator
extern GaugeDefinition tachometer1Gauge;  // Tachometer_1
extern GaugeDefinition tachometer2Gauge;  // Tachometer_2
extern GaugeDefinition exhaustGasTempGauge;  // Exhaust_Gas_Temp
extern GaugeDefinition engine1PressDiffGauge;  // Engine_1_Press_Diff
extern GaugeDefinition engine2PressDiffGauge;  // Engine_2_Press_Diff
extern GaugeDefinition fuelPressure1Gauge;  // Fuel_Pressure_1
extern GaugeDefinition fuelPressure2Gauge;  // Fuel_Pressure_2
extern GaugeDefinition oilPressureGauge;  // Oil_Pressure
extern GaugeDefinition oilPressure1Gauge;  // Oil_Pressure_1
extern GaugeDefinition oilPressure2Gauge;  // Oil_Pressure_2
extern GaugeDefinition fuelQuantityFrontGauge;  // Fuel_Quantity_Main_Front
extern GaugeDefinition fuelQuantityAftGauge;  // Fuel_Quantity_Main_Aft
extern GaugeDefinition junghansTimerGauge;  // Junghans_Timer
extern GaugeDefinition adfIndicatorGauge;  // ADF_Indicator
extern GaugeDefinition landingIndicatorGauge;  // Landing_Indicator
extern GaugeDefinition gunsightGauge;  // Gunsight
extern GaugeDefinition flapsIndicatorGauge;  // Flaps_Indicator
extern GaugeDefinition metricSwitchGauge;  // Metric_Switch
extern GaugeDefinition navGpsSwitchGauge;  // NAV_GPS_Switch
