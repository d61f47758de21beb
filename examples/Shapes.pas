unit Shapes;

{ Shapes with an area, and a drawing that holds them. }

interface

uses
  Classes, Geometry;

type
  TShape = class
  private
    FOrigin: TPoint2;
  protected
    function Name: string; virtual; abstract;
  public
    constructor Create(const Origin: TPoint2);
    function Area: Double; virtual; abstract;
    procedure Describe; virtual;
    property Origin: TPoint2 read FOrigin;
  end;

  TCircle = class(TShape)
  private
    FRadius: Double;
  protected
    function Name: string; override;
  public
    constructor Create(const Center: TPoint2; Radius: Double);
    function Area: Double; override;
  end;

  TRectangle = class(TShape)
  private
    FCorner: TPoint2;
  protected
    function Name: string; override;
  public
    constructor Create(const TopLeft, BottomRight: TPoint2);
    function Area: Double; override;
    function Diagonal: Double;
  end;

  TDrawing = class
  private
    FShapes: TList;
  public
    constructor Create;
    destructor Destroy; override;
    procedure Add(Shape: TShape);
    procedure Report;
  end;

function TotalArea(Drawing: TDrawing): Double;

implementation

uses
  SysUtils, Tools;

{ TShape }

constructor TShape.Create(const Origin: TPoint2);
begin
  inherited Create;
  FOrigin := Origin;
end;

procedure TShape.Describe;
begin
  LogFmt('%s of area %.2f at', [Name, Area]);
  Geometry.Describe(FOrigin);
end;

{ TCircle }

constructor TCircle.Create(const Center: TPoint2; Radius: Double);
begin
  inherited Create(Center);
  FRadius := ClampReal(Radius, 0, 1.0e6);
end;

function TCircle.Name: string;
begin
  Result := 'circle';
end;

function TCircle.Area: Double;
begin
  Result := Pi * FRadius * FRadius;
end;

{ TRectangle }

constructor TRectangle.Create(const TopLeft, BottomRight: TPoint2);
begin
  inherited Create(TopLeft);
  FCorner := BottomRight;
end;

function TRectangle.Name: string;
begin
  Result := 'rectangle';
end;

function TRectangle.Area: Double;
begin
  Result := Abs(FCorner.X - Origin.X) * Abs(FCorner.Y - Origin.Y);
end;

function TRectangle.Diagonal: Double;
begin
  Result := Distance(Origin, FCorner);
end;

{ TDrawing }

constructor TDrawing.Create;
begin
  inherited Create;
  FShapes := TList.Create;
end;

destructor TDrawing.Destroy;
var
  I: Integer;
begin
  for I := 0 to FShapes.Count - 1 do
    TShape(FShapes[I]).Free;
  FShapes.Free;
  inherited Destroy;
end;

procedure TDrawing.Add(Shape: TShape);
begin
  if FShapes.Count < Clamp(FShapes.Count + 1, 0, 100) then
    FShapes.Add(Shape);
end;

procedure TDrawing.Report;
var
  I: Integer;
begin
  for I := 0 to FShapes.Count - 1 do
    TShape(FShapes[I]).Describe;
  Tools.Log('Total area: ' + FloatToStr(TotalArea(Self)));
end;

function TotalArea(Drawing: TDrawing): Double;
var
  I: Integer;
begin
  Result := 0;
  for I := 0 to Drawing.FShapes.Count - 1 do
    Result := Result + TShape(Drawing.FShapes[I]).Area;
end;

end.
