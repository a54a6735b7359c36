# Shared by the Ardour checks: write_ardour_gui_config DIR writes a private Ardour configuration
# into DIR/config/ardour7 (Ardour reads it with XDG_CONFIG_HOME=DIR/config): no first-start
# wizard (.a7), and the dummy audio back end started without the audio setup dialog.
write_ardour_gui_config() {
  mkdir -p "$1/config/ardour7"
  touch "$1/config/ardour7/.a7"
  cat >"$1/config/ardour7/config" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
    <Option name="try-autostart-engine" value="1"/>
  </Config>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="None (Dummy)" driver="Normal Speed" device="Silence" input-device="" output-device="" sample-rate="48000" buffer-size="1024" n-periods="0" input-latency="0" output-latency="0" lm-input="" lm-output="" active="1" use-buffered-io="0" midi-option="1 in, 1 out, Silence" lru="1">
          <MIDIDevices/>
        </State>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
EOF
}
