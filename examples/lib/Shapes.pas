unit Shapes;

interface

uses
  Tools;

type
  TShape = class
  private
    FSide: Double;
  public
    constructor Create(ASide: Double);
    destructor Destroy; override;
    function Area: Double; virtual;
  published
    property Side: Double read FSide write FSide;
  end;

  TSquare = class(TShape)
  end;

implementation

constructor TShape.Create(ASide: Double);
begin
  inherited Create;
  FSide := ASide;
end;

destructor TShape.Destroy;
begin
  Report('Freed shape of side ', FSide);
  inherited Destroy;
end;

function TShape.Area: Double;
begin
  Result := FSide * FSide * 1.0E0;
end;

end.
